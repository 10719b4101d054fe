#include "web/run_on_texts.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "driver/run.h"
#include "driver/terminal_platform.h"
#include "report/json_writer.h"
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
  const auto number = [&](double value) { json.value(value, "a drawing coordinate"); };
  switch (command.op) {
    case DrawOp::SetCaption:
    case DrawOp::PrintText: json.value(command.text); break;
    case DrawOp::SetFont: json.value(command.text), json.value(command.size); break;
    case DrawOp::SetTextColour: json.value(command.colour); break;
    case DrawOp::SetLineWidth:
    case DrawOp::SetLineStyle: json.value(command.size); break;
    case DrawOp::SetUserScale:
      number(command.left), number(command.top), number(command.right), number(command.bottom);
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

std::string runOnTexts(const std::filesystem::path& folder, const RunTexts& texts) {
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  writeText(folder / texts.designName, texts.designText);
  if (!texts.shipText.empty())
    writeText(shipFileBeside(folder / texts.designName), texts.shipText);

  RunOptions options;
  options.workDir = folder;
  options.designFile = texts.designName;
  options.noWindow = true;
  options.strict = true;
  options.answer = "H";
  // Paths of outputs are taken as given, not in the working folder.
  options.dxfFile = folder / drawingNameOf(texts.designName);
  options.jsonFile = (folder / resultsNameOf(texts.designName)).string();
  std::istringstream noInput;
  std::ostringstream messages;
  TerminalPlatform platform(options.answer, noInput, messages);
  const RunOutcome outcome = runDesign(options, platform, messages);

  JsonWriter json;
  json.openObject();
  json.member("ending", endingName(outcome.ending));
  json.key("exitStatus"), json.value(exitStatusOf(outcome, options));
  json.member("messages", messages.str());
  json.key("files");
  json.openArray(JsonWriter::Layout::Inline);
  const std::filesystem::path shipFile = shipFileBeside(texts.designName);
  std::vector<std::string> written;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name != texts.designName && name != shipFile.string()) written.push_back(name);
  }
  std::sort(written.begin(), written.end());
  for (const std::string& name : written) json.value(name);
  json.close();
  const std::filesystem::path resultsFile = folder / resultsNameOf(texts.designName);
  const std::string results =
      std::filesystem::exists(resultsFile) ? readText(resultsFile) : std::string();
  json.key("result");
  if (results.empty()) json.null();
  else json.raw(results);
  json.key("drawing");
  json.openArray();
  if (outcome.state != nullptr)
    for (const DrawCommand& command : outcome.state->surface.commands()) writeCommand(json, command);
  json.close();
  json.close();
  return json.text();
}

}  // namespace propclear
