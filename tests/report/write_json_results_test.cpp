#include "report/write_json_results.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/output_file.h"
#include "common/run_error.h"
#include "common/version.h"
#include "support/test_support.h"

namespace propclear {
namespace {

// A small stern whose every number prints short: extent -0.5 to 8 m.
DesignData madeUpDesign() {
  DesignData design;
  design.propellerCentreX = 3.5;
  design.propellerCentreZ = 2.5;
  design.waterlineHeight = 6.5;
  design.propellerDiameter = 4.0;
  design.hubDiameter = 0.8;
  design.pitchRatio = 0.8;
  design.areaRatio = 0.55;
  design.rakeAngle = 10.0;
  design.rudderX = {0.0, 0.25, 0.25, 1.5, 1.5};
  design.rudderZ = {0.0, 1.0, 5.5, 5.5, 1.0};
  design.contourPointCount[sternContourRow] = 2;
  design.contourZ[sternContourRow][1] = 0.0;
  design.contourX[sternContourRow][1] = 1.25;
  design.contourCode[sternContourRow][1] = 1.0;
  design.contourZ[sternContourRow][2] = 8.0;
  design.contourX[sternContourRow][2] = -0.5;
  design.contourCode[sternContourRow][2] = 0.0;
  return design;
}

// Two stations are enough to show the layout of each.
BladeOutline madeUpOutline() {
  BladeOutline outline;
  outline.stationCount = 2;
  outline.stationRadius = {0.0, 0.4, 0.6};
  outline.edge1X = {0.0, -0.0625, -0.125};
  outline.edge1Z = {0.0, 0.1875, 0.375};
  outline.edge2X = {0.0, 0.0625, 0.125};
  outline.edge2Z = {0.0, 0.1875, 0.375};
  return outline;
}

ClearanceSet madeUpClearances() {
  return {ClearanceSegment{"a", 1.19, 5.44, 1.0, 5.44, 0.19},
          // Measured to a stand-in: no signed gap.
          ClearanceSegment{"b", 3.5, 6.6, 3.5, 7.44, 0.84, true},
          ClearanceSegment{"c", 2.5, 3.55, 1.5, 3.55, 1.0},
          ClearanceSegment{"a'", 3.0, 0.5, 0.75, 0.5, 2.25},
          ClearanceSegment{"b'", 3.5, 0.3, 3.5, 0.0, 0.3},
          ClearanceSegment{"c'", 4.0, 1.0, 46.5, 1.0, 42.5}};
}

// The turning blade's a' and c', each 0.25 m further from the rudder.
TurningLowerBlade madeUpTurningBlade() {
  return {{ClearanceSegment{"a'", 3.25, 0.5, 0.75, 0.5, 2.5}, 2.5},
          {ClearanceSegment{"c'", 3.75, 1.0, 46.5, 1.0, 42.75}, 42.75}};
}

// The contour 0.5 m from the swept volume, the heel inside it.
std::vector<ClosestApproach> madeUpApproaches() {
  return {{SternStructure::SternContour, 0.5, 0.125, 1.0, 3.0, 1.5, 3.0, 0.25, true, false, 0.0},
          {SternStructure::Heel, 0.0, 0.0, 1.25, 0.0, 1.25, 0.0, 1.25, false, true, 0.25}};
}

// The figures of one segment, each line indented by `indent`.
std::string figuresText(const std::string& indent, const char* blade, const char* target,
                        const char* length, const char* ratio, const char* signedLength) {
  const bool overlap = signedLength[0] == '-';
  return indent + "\"blade\": " + blade + ",\n" + indent + "\"target\": " + target + ",\n" +
         indent + "\"length_m\": " + length + ",\n" + indent + "\"ratio_to_D\": " + ratio +
         ",\n" + indent + "\"signedLength\": " + signedLength + ",\n" + indent +
         "\"overlaps\": " + (overlap ? "true" : "false");
}

// One clearance; the legacy ones have no status.
std::string clearanceText(const char* name, const char* measuredOn, const char* blade,
                          const char* target, const char* length, const char* ratio,
                          const char* signedLength, const char* status, bool last) {
  return std::string("    {\n") + "      \"name\": \"" + name + "\",\n" +
         "      \"measuredOn\": \"" + measuredOn + "\",\n" +
         figuresText("      ", blade, target, length, ratio, signedLength) +
         // Without rules a clearance's status in words is its status.
         (*status != '\0' ? std::string(",\n      \"status\": \"") + status +
                                 "\",\n      \"statusText\": \"" + status + "\""
                           : "") +
         "\n    }" + (last ? "\n" : ",\n");
}

std::string expectedText() {
  return std::string("{\n") +
         "  \"schemaVersion\": 4,\n"
         "  \"program\": {\"name\": \"propclear\", \"version\": \"" + programVersion + "\"},\n"
         "  \"ending\": \"wrong-geometry\",\n"
         "  \"status\": \"clash\",\n"
         "  \"statusText\": \"CLASH \u2014 the blade cuts the rudder by 1.000 m (1 more clash)\",\n"
         "  \"design\": {\n"
         "    \"propellerCentre\": {\"x\": 3.5, \"z\": 2.5},\n"
         "    \"waterlineHeight\": 6.5,\n"
         "    \"propellerDiameter\": 4,\n"
         "    \"hubDiameter\": 0.8,\n"
         "    \"pitchRatio\": 0.8,\n"
         "    \"areaRatio\": 0.55,\n"
         "    \"rakeAngle\": 10,\n"
         "    \"rudderCorners\": [\n"
         "      {\"x\": 0.25, \"z\": 1},\n"
         "      {\"x\": 0.25, \"z\": 5.5},\n"
         "      {\"x\": 1.5, \"z\": 5.5},\n"
         "      {\"x\": 1.5, \"z\": 1}\n"
         "    ],\n"
         "    \"contourPoints\": [\n"
         "      {\"z\": 0, \"x\": 1.25, \"code\": 1},\n"
         "      {\"z\": 8, \"x\": -0.5, \"code\": 0}\n"
         "    ]\n"
         "  },\n"
         "  \"bladeOutline\": {\n"
         "    \"stations\": [\n"
         "      {\n"
         "        \"station\": 1,\n"
         "        \"rOverR\": 0.2,\n"
         "        \"radius\": 0.4,\n"
         "        \"edge1\": {\"x\": -0.0625, \"z\": 0.1875},\n"
         "        \"edge2\": {\"x\": 0.0625, \"z\": 0.1875}\n"
         "      },\n"
         "      {\n"
         "        \"station\": 2,\n"
         "        \"rOverR\": 0.3,\n"
         "        \"radius\": 0.6,\n"
         "        \"edge1\": {\"x\": -0.125, \"z\": 0.375},\n"
         "        \"edge2\": {\"x\": 0.125, \"z\": 0.375}\n"
         "      }\n"
         "    ]\n"
         "  },\n"
         "  \"clearances\": [\n" +
         clearanceText("a", "upper", "{\"x\": 1.19, \"z\": 5.44}", "{\"x\": 1, \"z\": 5.44}",
                       "0.19", "0.0475", "0.18999999999999995", "no-rules", false) +
         clearanceText("b", "upper", "{\"x\": 3.5, \"z\": 6.6}", "{\"x\": 3.5, \"z\": 7.44}", "0.84",
                       "0.21", "null", "not-measured", false) +
         clearanceText("c", "upper", "{\"x\": 2.5, \"z\": 3.55}", "{\"x\": 1.5, \"z\": 3.55}", "1",
                       "0.25", "-1", "clash", false) +
         clearanceText("a'", "lower-turning", "{\"x\": 3.25, \"z\": 0.5}",
                       "{\"x\": 0.75, \"z\": 0.5}", "2.5", "0.625", "2.5", "no-rules", false) +
         clearanceText("b'", "lower-turning", "{\"x\": 3.5, \"z\": 0.3}", "{\"x\": 3.5, \"z\": 0}",
                       "0.3", "0.075", "0.3", "no-rules", false) +
         clearanceText("c'", "lower-turning", "{\"x\": 3.75, \"z\": 1}", "{\"x\": 46.5, \"z\": 1}",
                       "42.75", "10.6875", "42.75", "no-rules", true) +
         "  ],\n"
         "  \"legacyClearances\": [\n" +
         clearanceText("a'", "lower-mirrored", "{\"x\": 3, \"z\": 0.5}", "{\"x\": 0.75, \"z\": 0.5}",
                       "2.25", "0.5625", "2.25", "", false) +
         clearanceText("c'", "lower-mirrored", "{\"x\": 4, \"z\": 1}", "{\"x\": 46.5, \"z\": 1}",
                       "42.5", "10.625", "42.5", "", true) +
         "  ],\n"
         "  \"clashes\": [\n"
         "    {\"cutter\": \"blade\", \"structure\": \"rudder\", \"clearance\": \"c\", \"depth_m\": 1, "
         "\"text\": \"the blade cuts the rudder by 1.000 m\"},\n"
         "    {\"cutter\": \"swept-volume\", \"structure\": \"heel\", \"clearance\": \"\", "
         "\"depth_m\": 0.25, \"text\": \"the swept volume cuts the heel by 0.250 m\"}\n"
         "  ],\n"
         "  \"closestApproach\": {\n"
         "    \"bladeThickness\": \"neglected\",\n"
         "    \"sweptVolume\": {\n"
         "      \"axisZ\": 2.5,\n"
         "      \"sections\": [\n"
         "        {\"rOverR\": 0.2, \"radius\": 0.4, \"xLow\": 3.4375, \"xHigh\": 3.5625},\n"
         "        {\"rOverR\": 0.3, \"radius\": 0.6, \"xLow\": 3.375, \"xHigh\": 3.625}\n"
         "      ]\n"
         "    },\n"
         "    \"structures\": [\n"
         "      {\n"
         "        \"structure\": \"sternContour\",\n"
         "        \"distance_m\": 0.5,\n"
         "        \"ratio_to_D\": 0.125,\n"
         "        \"structurePoint\": {\"x\": 1, \"z\": 3},\n"
         "        \"sweptPoint\": {\"x\": 1.5, \"z\": 3},\n"
         "        \"rOverR\": 0.25,\n"
         "        \"side\": \"above\",\n"
         "        \"overlaps\": false,\n"
         "        \"overlapDepth_m\": 0\n"
         "      },\n"
         "      {\n"
         "        \"structure\": \"heel\",\n"
         "        \"distance_m\": 0,\n"
         "        \"ratio_to_D\": 0,\n"
         "        \"structurePoint\": {\"x\": 1.25, \"z\": 0},\n"
         "        \"sweptPoint\": {\"x\": 1.25, \"z\": 0},\n"
         "        \"rOverR\": 1.25,\n"
         "        \"side\": \"below\",\n"
         "        \"overlaps\": true,\n"
         "        \"overlapDepth_m\": 0.25\n"
         "      }\n"
         "    ]\n"
         "  },\n"
         "  \"plotExtent\": {\"min\": -0.5, \"max\": 8, \"range\": 8.5},\n"
         "  \"warnings\": [\n"
         "    {\"kind\": \"invalid-design\", \"clearance\": \"\", \"text\": \"say \\\"x\\\"\\n\"},\n"
         "    {\"kind\": \"invalid-design\", \"clearance\": \"\", \"text\": \"bad byte \\ufffd\"}\n"
         "  ]\n"
         "}\n";
}

const std::vector<std::string> madeUpWarnings = {"say \"x\"\n", "bad byte \xfd"};

// The made-up outline, clearances and warnings over the design's extent.
SternAnalysis madeUpAnalysis(const DesignData& design,
                             std::vector<std::string> warnings = madeUpWarnings) {
  SternAnalysis analysis;
  analysis.outline = madeUpOutline();
  analysis.extent = plotExtentOf(design);
  analysis.clearances = madeUpClearances();
  analysis.signedGaps = signedGapsOf(analysis.clearances);
  analysis.turningLowerBlade = madeUpTurningBlade();
  analysis.sweptVolume = SweptVolume::of(design, analysis.outline, fitBladeEdgeCurves(design, analysis.outline));
  analysis.closestApproaches = madeUpApproaches();
  for (std::string& text : warnings) analysis.warnings.push_back({WarningKind::InvalidDesign, "", std::move(text)});
  return analysis;
}

Assessment madeUpAssessment(const DesignData& design,
                            std::vector<std::string> warnings = madeUpWarnings) {
  return judgeAnalysis(madeUpAnalysis(design, std::move(warnings)), design.propellerDiameter,
                       std::nullopt);
}

TEST(JsonResults, WritesEverySectionInItsDocumentedLayout) {
  const DesignData design = madeUpDesign();
  EXPECT_EQ(jsonResultsText({"wrong-geometry", design, madeUpAssessment(design)}),
            expectedText());
}

TEST(JsonResults, StationsGiveTheirRadiusRatiosAsTabulated) {
  DesignData design = madeUpDesign();
  design.propellerDiameter = 4.6;
  SternAnalysis analysis = madeUpAnalysis(design, {});
  analysis.outline = buildBladeOutline(design.propellerDiameter, 0.8, 0.55, 10.0);
  const std::string text = jsonResultsText(
      {"completed", design, judgeAnalysis(analysis, design.propellerDiameter, std::nullopt)});
  for (const char* ratio : {"0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "0.95",
                            "0.975", "1"}) {
    EXPECT_NE(text.find(std::string("\"rOverR\": ") + ratio + ",\n"), std::string::npos) << ratio;
  }
  EXPECT_NE(text.find("\"warnings\": []\n"), std::string::npos);
}

TEST(JsonResults, NonFiniteValueIsAnArithmeticFault) {
  DesignData design = madeUpDesign();
  design.waterlineHeight = std::numeric_limits<double>::infinity();
  try {
    jsonResultsText({"completed", design, madeUpAssessment(design, {})});
    FAIL() << "an infinite waterline height was written";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::Arithmetic);
    EXPECT_NE(std::string(error.what()).find("waterlineHeight"), std::string::npos);
  }
}

TEST(WriteJsonResults, WritesTheTextWithLfLines) {
  const test::ScratchDir dir;
  const std::string path = (dir / "results.json").string();
  const DesignData design = madeUpDesign();
  OutputFile file(path, path, OutputFile::Devices::WriteInto);
  writeJsonResults(file, {"wrong-geometry", design, madeUpAssessment(design)});
  file.commit();
  const std::string content = test::readFile(path);
  EXPECT_EQ(content, expectedText());
  EXPECT_EQ(content.find('\r'), std::string::npos);
}

}  // namespace
}  // namespace propclear
