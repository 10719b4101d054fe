#include "web/run_on_texts.h"

#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <vector>

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

// The plot's commands as numbers (PageAnswer), their texts apart.
class PageDrawing {
 public:
  void add(const DrawCommand& command) {
    numbers_.push_back(static_cast<float>(command.op));
    switch (command.op) {
      case DrawOp::SetCaption:
      case DrawOp::PrintText: operands({textIndex(command.text)}); break;
      case DrawOp::SetFont: operands({textIndex(command.text), static_cast<float>(command.size)}); break;
      case DrawOp::SetTextColour: operands({static_cast<float>(command.colour)}); break;
      case DrawOp::SetLineWidth:
      case DrawOp::SetLineStyle: operands({static_cast<float>(command.size)}); break;
      case DrawOp::DrawLine:
        operands({command.x1, command.y1, command.x2, command.y2, static_cast<float>(command.colour)});
        break;
      case DrawOp::DrawCircle:
        operands({command.x1, command.y1, command.radius, static_cast<float>(command.colour)});
        break;
      case DrawOp::MoveTextCursor: operands({command.x1, command.y1}); break;
      case DrawOp::SetUserScale:
      case DrawOp::ShowWindow:
      case DrawOp::ClearWindow: operands({}); break;
    }
  }
  std::vector<float> numbers() && { return std::move(numbers_); }
  const std::vector<std::string>& texts() const { return texts_; }

 private:
  void operands(std::initializer_list<float> values) {
    numbers_.insert(numbers_.end(), values);
    numbers_.resize(numbers_.size() + drawingNumbersPerCommand - 1 - values.size(), 0.0F);
  }
  float textIndex(const std::string& text) {
    texts_.push_back(text);
    return static_cast<float>(texts_.size() - 1);
  }

  std::vector<float> numbers_;
  std::vector<std::string> texts_;
};

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

PageAnswer pageAnswerOf(const RunAnswer& answer) {
  PageDrawing drawing;
  if (answer.outcome.state != nullptr)
    for (const DrawCommand& command : answer.outcome.state->surface.commands()) drawing.add(command);
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
  json.key("drawingTexts");
  json.openArray(JsonWriter::Layout::Inline);
  for (const std::string& text : drawing.texts()) json.value(text);
  json.close();
  json.close();
  return PageAnswer{json.text(), std::move(drawing).numbers()};
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

PageAnswer runOnTexts(const std::filesystem::path& folder, const RunTexts& texts) {
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
  return pageAnswerOf(RunAnswer{
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

PageAnswer RunPreview::readingFailure() const {
  RunOutcome outcome;
  outcome.ending = readingEnding_;
  return pageAnswerOf(RunAnswer{outcome, strictExitStatusOf(outcome), readingMessages_, {}, {}});
}

PageAnswer RunPreview::answerFor(const DesignData& design) const {
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
  return pageAnswerOf(RunAnswer{
      outcome, strictExitStatusOf(outcome), messages.str(), {},
      completed ? jsonBriefText(JsonResults{endingName(outcome.ending), state.design,
                                            state.assessment})
                : std::string()});
}

}  // namespace propclear
