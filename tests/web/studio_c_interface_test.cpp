#include "web/studio_c_interface.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <string>
#include <vector>

#include "test_support.h"
#include "web/run_on_texts.h"

namespace propclear {
namespace {

using nlohmann::json;

std::string exampleText(const char* name) { return test::readFile(test::examplesDir() / name); }

// A run's answer with its drawing's numbers as "drawing".
json withDrawing(const PageAnswer& answer) {
  json run = json::parse(answer.json);
  run["drawing"] = answer.drawing;
  return run;
}

json runExample(const test::ScratchDir& folder, const std::string& designText,
                const std::string& shipText) {
  return withDrawing(runOnTexts(folder.path() / "studio", {"Norvalek.TSK", designText, shipText}));
}

// The example in the run's folder: the outputs the program writes for the
// same design, byte for byte, and its JSON results in the run's answer.
TEST(RunOnTexts, WritesTheProgramsOutputsForTheExample) {
  test::ScratchDir folder;
  const json run = runExample(folder, exampleText("Norvalek.TSK"), exampleText("Norvalek.ship.toml"));
  EXPECT_EQ(run["ending"], "completed");
  EXPECT_EQ(run["result"]["status"], "below");  // two binding lines below their minimum
  EXPECT_EQ(run["exitStatus"], test::kExitStrictOverlap);
  const std::vector<std::string> outputs = {"Norvalek.SCR", "Norvalek.SON", "Norvalek.dxf",
                                            "Norvalek.json", "Norvalek.svg"};
  EXPECT_EQ(run["files"], json(outputs));

  test::ScratchDir native;
  for (const char* input : {"Norvalek.TSK", "Norvalek.ship.toml"})
    std::filesystem::copy(test::examplesDir() / input, native / input);
  const auto program =
      test::runPropclear({"-C", native.path().string(), "--no-window", "--answer", "H", "--dxf",
                          (native / "Norvalek.dxf").string(), "--json", (native / "Norvalek.json").string(),
                          "--plot", (native / "Norvalek.svg").string()});
  ASSERT_EQ(program.exitStatus, 0) << program.err;
  for (const std::string& name : outputs) {
    EXPECT_EQ(test::readFile(folder / "studio" / name), test::readFile(native / name))
        << name;
  }
  EXPECT_EQ(run["result"], json::parse(test::readFile(native / "Norvalek.json")));
  EXPECT_EQ(run["result"]["ruleCheck"]["ship"]["source"], "Norvalek.ship.toml");
  // The plot's commands, from the showing of the window on, six numbers
  // each; a caption, a font and a text name their texts in order.
  const std::vector<float> drawing = run["drawing"];
  ASSERT_EQ(drawing.size() % drawingNumbersPerCommand, 0u);
  ASSERT_FALSE(drawing.empty());
  EXPECT_EQ(drawing[0], static_cast<float>(DrawOp::ShowWindow));
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < drawing.size(); i += drawingNumbersPerCommand) {
    const auto op = static_cast<DrawOp>(drawing[i]);
    if (op == DrawOp::SetCaption || op == DrawOp::SetFont || op == DrawOp::PrintText) {
      ASSERT_EQ(drawing[i + 1], static_cast<float>(texts.size()));
      texts.push_back(run["drawingTexts"][texts.size()]);
    }
  }
  EXPECT_EQ(run["drawingTexts"], json(texts));
  EXPECT_NE(std::find(texts.begin(), texts.end(), "DWL"), texts.end());
}

// A second run starts afresh: without a ship file no rules, and an
// unreadable design leaves no outputs and says why.
TEST(RunOnTexts, RunsAgainWithoutTheFilesOfTheRunBefore) {
  test::ScratchDir folder;
  runExample(folder, exampleText("Norvalek.TSK"), exampleText("Norvalek.ship.toml"));
  const json noShip = runExample(folder, exampleText("Norvalek.TSK"), "");
  EXPECT_EQ(noShip["result"]["status"], "no-rules");
  EXPECT_FALSE(noShip["result"].contains("ruleCheck"));

  const json broken = runExample(folder, "caption only\r\n", "");
  EXPECT_EQ(broken["ending"], "error");
  EXPECT_EQ(broken["exitStatus"], test::kExitError);
  EXPECT_TRUE(broken["result"].is_null());
  EXPECT_EQ(broken["files"], json::array());  // the design is read before any output is touched
  EXPECT_NE(broken["messages"].get<std::string>().find("Norvalek.TSK"), std::string::npos);
}

std::vector<double> exampleValues() {
  const json design = json::parse(runOnTexts(test::ScratchDir().path(), {"Norvalek.TSK",
      exampleText("Norvalek.TSK"), ""}).json)["result"]["design"];
  std::vector<double> values = {design["propellerCentre"]["x"], design["propellerCentre"]["z"],
                                design["waterlineHeight"],     design["propellerDiameter"],
                                design["hubDiameter"],         design["pitchRatio"],
                                design["areaRatio"],           design["rakeAngle"]};
  for (const json& corner : design["rudderCorners"]) values.insert(values.end(), {corner["x"], corner["z"]});
  for (const json& point : design["contourPoints"])
    values.insert(values.end(), {point["z"], point["x"], point["code"]});
  return values;
}

json rewrite(const std::vector<double>& values) {
  const std::string text = exampleText("Norvalek.TSK");
  return json::parse(propclear_rewrite("Norvalek.TSK", text.c_str(), values.data(),
                                       static_cast<int>(values.size())));
}

// The page's values written back: unchanged values give the file as it
// was, a moved centre changes its two numbers, and a dropped point the
// contour; values that are no design's are refused.
TEST(StudioCInterface, RewritesTheDesignFromItsValues) {
  std::vector<double> values = exampleValues();
  EXPECT_EQ(rewrite(values)["text"], exampleText("Norvalek.TSK"));

  values[0] = 4.123;
  values[1] = 2.75;
  const std::string moved = rewrite(values)["text"];
  test::ScratchDir folder;
  const json run = json::parse(runOnTexts(folder.path(), {"Norvalek.TSK", moved, ""}).json);
  EXPECT_EQ(run["result"]["design"]["propellerCentre"], json({{"x", 4.123}, {"z", 2.75}}));

  values.resize(values.size() - 3);
  const std::string shorter = rewrite(values)["text"];
  const json shorterRun = json::parse(runOnTexts(folder.path(), {"Norvalek.TSK", shorter, ""}).json);
  EXPECT_EQ(shorterRun["result"]["design"]["contourPoints"].size(), 23u);

  values.pop_back();
  EXPECT_NE(rewrite(values)["error"].get<std::string>().find("not a design's"), std::string::npos);
}

json preview(const std::vector<double>& values) {
  json step = json::parse(propclear_preview(values.data(), static_cast<int>(values.size())));
  step["drawing"] = std::vector<float>(propclear_drawing(), propclear_drawing() + propclear_drawing_length());
  return step;
}

// The steps of a drag: each preview is the run of the design rewritten
// with its values, with no file listed, its result in brief; a design or
// ship that does not read, and values that are no design's, are answered
// with the error.
TEST(StudioCInterface, PreviewsADraggedDesignAsTheRunOfTheRewrittenDesign) {
  const std::string design = exampleText("Norvalek.TSK"), ship = exampleText("Norvalek.ship.toml");
  propclear_preview_begin("Norvalek.TSK", design.c_str(), ship.c_str());
  std::vector<double> values = exampleValues();
  test::ScratchDir folder;
  // The example as it is, a rudder corner moved, the centre moved to a
  // millimetre, then pushed up into the stern (a clash).
  for (const auto& [offset, value] : std::vector<std::pair<std::size_t, double>>{
           {0, 4.0}, {9, 0.61}, {0, 4.137}, {0, 3.2}, {1, 3.4}}) {
    values[offset] = value;
    const json step = preview(values);
    const json run = runExample(folder, rewrite(values)["text"], ship);
    EXPECT_EQ(step["files"], json::array());
    for (const char* key : {"ending", "drawing", "drawingTexts", "messages", "exitStatus"})
      EXPECT_EQ(step[key], run[key]) << key << " at " << offset << " = " << value;
    for (const char* key : {"ending", "status", "statusText", "clearances", "ruleCheck"})
      EXPECT_EQ(step["result"][key], run["result"][key]) << key << " at " << offset << " = " << value;
    EXPECT_EQ(step["result"].size(), 5u);
  }
  EXPECT_EQ(preview(values)["result"]["status"], "clash");

  values.pop_back();
  EXPECT_NE(preview(values)["error"].get<std::string>().find("not a design's"), std::string::npos);
  for (const auto& [designText, shipText] : std::vector<std::pair<std::string, std::string>>{
           {"caption only\r\n", ""}, {design, "[ship\n"}}) {
    propclear_preview_begin("Norvalek.TSK", designText.c_str(), shipText.c_str());
    const json broken = preview(exampleValues());
    EXPECT_EQ(broken["ending"], "error");
    EXPECT_EQ(broken["exitStatus"], test::kExitError);
    EXPECT_TRUE(broken["result"].is_null());
    EXPECT_NE(broken["messages"].get<std::string>().find("Norvalek"), std::string::npos);
  }
}

TEST(StudioCInterface, ChecksATypedValueAsTheStudioDoes) {
  EXPECT_EQ(json::parse(propclear_check_field("propellerDiameter", 0, "4.75"))["value"], 4.75);
  EXPECT_EQ(json::parse(propclear_check_field("contourX", 3, "-2.5"))["value"], -2.5);
  for (const auto& [field, text] : std::vector<std::pair<const char*, const char*>>{
           {"propellerDiameter", "0"}, {"propellerDiameter", "abc"}, {"rakeAngle", "95"},
           {"contourCode", "99"}, {"noSuchField", "1"}}) {
    EXPECT_TRUE(json::parse(propclear_check_field(field, 1, text)).contains("fault")) << field << " " << text;
  }
}

}  // namespace
}  // namespace propclear
