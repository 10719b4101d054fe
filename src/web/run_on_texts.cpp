#include "web/run_on_texts.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "common/number_conversion.h"
#include "common/run_error.h"
#include "design/read_design_data.h"
#include "driver/run.h"
#include "driver/terminal_platform.h"
#include "report/json_writer.h"
#include "report/write_json_results.h"
#include "rules/read_ship_particulars.h"

namespace propclear {

namespace {

std::string stemOf(const std::string& designName) {
  return std::filesystem::path(designName).stem().string();
}

void writeText(const std::filesystem::path& path, std::string_view text) {
  std::ofstream file(path, std::ios::binary);
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string readText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

const char* opName(DrawOp op) {
  switch (op) {
    case DrawOp::ShowWindow: return "show";
    case DrawOp::ClearWindow: return "clear";
    case DrawOp::SetCaption: return "caption";
    case DrawOp::SetFont: return "font";
    case DrawOp::SetTextColour: return "textColour";
    case DrawOp::SetLineWidth: return "lineWidth";
    case DrawOp::SetLineStyle: return "lineStyle";
    case DrawOp::SetUserScale: return "scale";
    case DrawOp::DrawLine: return "line";
    case DrawOp::DrawCircle: return "circle";
    case DrawOp::MoveTextCursor: return "cursor";
    case DrawOp::PrintText: return "text";
  }
  return "clear";
}

// One command as a short array: its name, then its operands.
void writeCommand(JsonWriter& json, const DrawCommand& command) {
  json.openArray(JsonWriter::Layout::Inline);
  json.value(opName(command.op));
  // The coordinates are floats: their own shortest digits, not a double's.
  const auto number = [&](float value) {
    std::array<char, 32> text;
    const auto written = writeShortestFloat(text.data(), text.data() + text.size(), value);
    json.raw(std::string_view(text.data(), static_cast<std::size_t>(written.ptr - text.data())));
  };
  const auto userUnits = [&](double value) { json.value(value, "a drawing scale"); };
  switch (command.op) {
    case DrawOp::SetCaption:
    case DrawOp::PrintText: json.value(command.text); break;
    case DrawOp::SetFont: json.value(command.text), json.value(command.size); break;
    case DrawOp::SetTextColour: json.value(command.colour); break;
    case DrawOp::SetLineWidth:
    case DrawOp::SetLineStyle: json.value(command.size); break;
    case DrawOp::SetUserScale:
      userUnits(command.left), userUnits(command.top), userUnits(command.right),
          userUnits(command.bottom);
      break;
    case DrawOp::DrawLine:
      number(command.x1), number(command.y1), number(command.x2), number(command.y2);
      json.value(command.colour);
      break;
    case DrawOp::DrawCircle:
      number(command.x1), number(command.y1), number(command.radius), json.value(command.colour);
      break;
    case DrawOp::MoveTextCursor: number(command.x1), number(command.y1); break;
    case DrawOp::ShowWindow:
    case DrawOp::ClearWindow: break;
  }
  json.close();
}

}  // namespace

std::string drawingNameOf(const std::string& designName) { return stemOf(designName) + ".dxf"; }
std::string resultsNameOf(const std::string& designName) { return stemOf(designName) + ".json"; }
std::string plotNameOf(const std::string& designName) { return stemOf(designName) + ".svg"; }

namespace {

// What a run answers the page, as JSON.
struct RunAnswer {
  const RunOutcome& outcome;
  int exitStatus;
  std::string messages;
  std::vector<std::string> files;
  std::string results;  // the JSON results; none when empty
};

std::string answerJson(const RunAnswer& answer) {
  JsonWriter json;
  json.openObject();
  json.member("ending", endingName(answer.outcome.ending));
  json.key("exitStatus"), json.value(answer.exitStatus);
  json.member("messages", answer.messages);
  json.key("files");
  json.openArray(JsonWriter::Layout::Inline);
  for (const std::string& name : answer.files) json.value(name);
  json.close();
  json.key("result");
  if (answer.results.empty()) json.null();
  else json.raw(answer.results);
  json.key("drawing");
  json.openArray();
  if (answer.outcome.state != nullptr)
    for (const DrawCommand& command : answer.outcome.state->surface.commands()) writeCommand(json, command);
  json.close();
  json.close();
  return json.text();
}

RunOptions optionsOf(const RunTexts& texts, const std::filesystem::path& folder) {
  RunOptions options;
  options.workDir = folder;
  options.designFile = texts.designName;
  options.noWindow = true;
  options.strict = true;
  options.answer.emplace(1, 'H');
  // Paths of outputs are taken as given, not in the working folder.
  options.jsonFile = (folder / resultsNameOf(texts.designName)).string();
  options.dxfFile = folder / drawingNameOf(texts.designName);
  options.plotFile = folder / plotNameOf(texts.designName);
  return options;
}

// The exit status of an ending, as the program's under --strict.
int strictExitStatusOf(const RunOutcome& outcome) {
  RunOptions strict;
  strict.strict = true;
  return exitStatusOf(outcome, strict);
}

}  // namespace

std::string runOnTexts(const std::filesystem::path& folder, const RunTexts& texts) {
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  writeText(folder / texts.designName, texts.designText);
  if (!texts.shipText.empty())
    writeText(shipFileBeside(folder / texts.designName), texts.shipText);

  const RunOptions options = optionsOf(texts, folder);
  std::istringstream noInput;
  std::ostringstream messages;
  TerminalPlatform platform(options.answer, noInput, messages);
  const RunOutcome outcome = runDesign(options, platform, messages);

  const std::filesystem::path shipFile = shipFileBeside(texts.designName);
  std::vector<std::string> written;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name != texts.designName && name != shipFile.string()) written.push_back(name);
  }
  std::sort(written.begin(), written.end());
  const std::filesystem::path resultsFile = folder / resultsNameOf(texts.designName);
  return answerJson(RunAnswer{
      outcome, exitStatusOf(outcome, options), messages.str(), written,
      std::filesystem::exists(resultsFile) ? readText(resultsFile) : std::string()});
}

// The design and the ship read as the run reads them, from their texts.
RunPreview::RunPreview(const RunTexts& texts) {
  try {
    const ReadResult read = readDesignText(texts.designText, texts.designName);
    if (read.outcome != ReadOutcome::Read) {
      readingEnding_ = Ending::ContourTooLong;
      return;
    }
    if (!texts.shipText.empty()) {
      ship_ = readShipParticularsText(std::string(texts.shipText),
                                      shipFileBeside(texts.designName).string());
    }
    design_ = read.design;
  } catch (const RunError& error) {
    readingEnding_ = Ending::Error;
    readingMessages_ = std::string("propclear: error: ") + error.what() + '\n';
  }
}

std::string RunPreview::readingFailure() const {
  RunOutcome outcome;
  outcome.ending = readingEnding_;
  return answerJson(RunAnswer{outcome, strictExitStatusOf(outcome), readingMessages_, {}, {}});
}

std::string RunPreview::answerFor(const DesignData& design) const {
  RunOutcome outcome;
  outcome.state = std::make_unique<RunState>();
  RunState& state = *outcome.state;
  state.design = design;
  state.ship = ship_;
  std::ostringstream messages;
  try {
    assessAndDraw(state, messages);
    outcome.ending = Ending::Completed;
  } catch (const RunError& error) {
    outcome.ending = Ending::Error;
    messages << "propclear: error: " << error.what() << '\n';
  }
  const bool completed = outcome.ending == Ending::Completed;
  return answerJson(RunAnswer{
      outcome, strictExitStatusOf(outcome), messages.str(), {},
      completed ? jsonBriefText(JsonResults{endingName(outcome.ending), state.design,
                                            state.assessment})
                : std::string()});
}

}  // namespace propclear
