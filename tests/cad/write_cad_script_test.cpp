#include "cad/write_cad_script.h"

#include <gtest/gtest.h>

#include <limits>
#include <regex>
#include <string>
#include <vector>

#include "common/output_file.h"
#include "common/run_error.h"
#include "common/version.h"
#include "geometry/set_up_contour.h"
#include "support/test_support.h"

namespace propclear {
namespace {

// A small stern: four contour points (z, x), extent m = -0.5, M = 8, R = 8.5.
DesignData madeUpDesign() {
  DesignData design;
  const double heights[] = {0.0, 2.5, 5.0, 8.0};
  const double positions[] = {1.25, 0.75, 0.5, -0.5};
  const double codes[] = {1.0, 1.0, 0.0, 1.0};
  design.contourPointCount[sternContourRow] = 4;
  for (int k = 1; k <= 4; ++k) {
    design.contourZ[sternContourRow][k] = heights[k - 1];
    design.contourX[sternContourRow][k] = positions[k - 1];
    design.contourCode[sternContourRow][k] = codes[k - 1];
  }
  design.waterlineHeight = 6.5;
  design.propellerCentreX = 3.5;
  design.propellerCentreZ = 2.5;
  design.propellerDiameter = 4.2;
  design.hubDiameter = 0.8;
  design.rudderX = {0.0, 0.25, 0.25, 1.5, 1.5};
  design.rudderZ = {0.0, 1.0, 5.5, 5.5, 1.0};
  return design;
}

// Edge offsets in sixteenths of a metre, so that every point is exact.
BladeOutline madeUpOutline() {
  BladeOutline outline;
  for (int k = 1; k <= bladeStationCount; ++k) {
    outline.stationRadius[k] = 0.21 * k;
    outline.edge1X[k] = -0.0625 * k;
    outline.edge1Z[k] = 0.1875 * k;
    outline.edge2X[k] = 0.0625 * k;
    outline.edge2Z[k] = 0.1875 * k;
  }
  return outline;
}

ClearanceSegment segment(const char* name, double bladeX, double bladeZ, double targetX,
                         double targetZ, double length) {
  return {name, bladeX, bladeZ, targetX, targetZ, length};
}

ClearanceSet madeUpClearances() {
  return {segment("a", 1.19, 5.44, 1.0, 5.44, 0.19), segment("b", 3.5, 6.6, 3.5, 7.44, 0.84),
          segment("c", 2.5, 3.55, 1.5, 3.55, 1.0),   segment("a'", 3.0, 0.5, 0.75, 0.5, 2.25),
          segment("b'", 3.5, 0.3, 3.5, 0.0, 0.3),    segment("c'", 4.0, 1.0, 46.5, 1.0, 42.5)};
}

// The made-up outline and clearances over the design's own extent and contour.
SternAnalysis madeUpAnalysis(const DesignData& design) {
  SternAnalysis analysis;
  analysis.outline = madeUpOutline();
  analysis.extent = plotExtentOf(design);
  analysis.contourCurve = setUpContour(design, sternContourRow);
  analysis.clearances = madeUpClearances();
  return analysis;
}

std::vector<std::string> scriptOf(const DesignData& design) {
  return test::splitCrLfLines(cadScriptText(design, madeUpAnalysis(design)));
}

std::vector<std::string> expectedScript() {
  // clang-format off
  std::vector<std::string> lines = {
      "Limits", "-500,-500", "8000,8000",
      "regenauto off", "Zoom a",
      "COLOR 4",
      "style complex complex", "170", "1 0 n n n",
      "pline", "-2625,9062.5", "10125,9062.5", "10125,-1562.5", "-2625,-1562.5", "-2625,9062.5", "",
      "COLOR 5",
      "pline", "1250,0", "750,2500", "500,5000", "-500,8000", "",
      "pline", "8850,0", "-1350,0", "", "text", "8850,0", "0", "B.L.",
      "pline", "8850,6500", "-1350,6500", "", "text", "8850,6500", "0", "Taft",
      "pline", "250,1000", "250,5500", "1500,5500", "1500,1000", "250,1000", "",
      "pline", "0,-500", "0,8000", "", "text", "0,-500", "0", "A.P.",
      "COLOR 3",
      "pline", "2900,2500", "4100,2500", "",
      "pline", "3500,400", "3500,4600", "",
      "pline", "2900,2100", "2900,2900", "",
      "pline", "2900,2900", "4100,2900", "",
      "pline", "4100,2100", "4100,2900", "",
      "pline", "4100,2100", "2900,2100", "",
      "COLOR 1", "pline",
      "3437.5,2687.5", "3375,2875", "3312.5,3062.5", "3250,3250", "3187.5,3437.5", "3125,3625",
      "3062.5,3812.5", "3000,4000", "2937.5,4187.5", "2875,4375", "2812.5,4562.5", "",
      "COLOR 2", "pline",
      "3562.5,2687.5", "3625,2875", "3687.5,3062.5", "3750,3250", "3812.5,3437.5", "3875,3625",
      "3937.5,3812.5", "4000,4000", "4062.5,4187.5", "4125,4375", "4187.5,4562.5", "",
      "COLOR 1", "pline",
      "3562.5,2312.5", "3625,2125", "3687.5,1937.5", "3750,1750", "3812.5,1562.5", "3875,1375",
      "3937.5,1187.5", "4000,1000", "4062.5,812.5", "4125,625", "4187.5,437.5", "",
      "COLOR 2", "pline",
      "3437.5,2312.5", "3375,2125", "3312.5,1937.5", "3250,1750", "3187.5,1562.5", "3125,1375",
      "3062.5,1187.5", "3000,1000", "2937.5,812.5", "2875,625", "2812.5,437.5", "",
      "COLOR 2", "pline", "1190,5440", "1000,5440", "", "text", "1095,5440", "0", "a=0.045*D",
      "COLOR 2", "pline", "3500,6600", "3500,7440", "", "text", "3500,7020", "0", "b=0.200*D",
      "COLOR 1", "pline", "1500,3550", "2500,3550", "", "text r", "2000,3550", "0", "c=0.238*D",
      "COLOR 2", "pline", "3000,500", "750,500", "", "text", "1875,500", "0", "a'=0.536*D",
      "COLOR 1", "pline", "3500,300", "3500,0", "", "text", "3500,150", "0", "b'=0.071*D",
      "COLOR 2", "pline", "46500,1000", "4000,1000", "", "text r", "25250,1000", "0", "c'=10.119%*D",
      "text", "-2200,8000", "0", "Gemi Kic Formu / Pervane-Dumen-Kic Bodoslama Acikliklari Geometrisi",
      "",
      "-2200,-1350", "0",
  };
  // clang-format on
  lines.push_back(std::string("Drawn by propclear ") + programVersion +
                  ", free software under the MIT licence");
  return lines;
}

TEST(CadScript, WritesEveryLineInOrder) {
  const auto lines = scriptOf(madeUpDesign());
  const auto expected = expectedScript();
  ASSERT_EQ(lines.size(), 197u);
  ASSERT_EQ(lines.size(), expected.size());
  for (std::size_t i = 0; i < lines.size(); ++i)
    EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
}

TEST(CadScript, ContourBlockListsThePointsNotTheFittedCurve) {
  const auto lines = scriptOf(madeUpDesign());
  const std::vector<std::string> contour(lines.begin() + 17, lines.begin() + 23);
  EXPECT_EQ(contour,
            (std::vector<std::string>{"pline", "1250,0", "750,2500", "500,5000", "-500,8000", ""}));
}

TEST(CadScript, ContourBlockGrowsWithThePointCount) {
  DesignData design = madeUpDesign();
  design.contourPointCount[sternContourRow] = 2;
  design.contourCode[sternContourRow][3] = 1.0;
  const auto lines = scriptOf(design);
  EXPECT_EQ(lines.size(), 195u);
  const std::vector<std::string> contour(lines.begin() + 17, lines.begin() + 21);
  EXPECT_EQ(contour, (std::vector<std::string>{"pline", "1250,0", "750,2500", ""}));
  EXPECT_EQ(lines[21], "pline");
}

TEST(CadScript, NumbersAreNeverInExponentFormOrNonFinite) {
  DesignData design = madeUpDesign();
  design.propellerCentreX = 1.0 / 3.0;
  design.waterlineHeight = 1e-9;
  SternAnalysis analysis = madeUpAnalysis(design);
  analysis.extent.max = 1e13;
  analysis.extent.range = analysis.extent.max - analysis.extent.min;
  const auto lines = test::splitCrLfLines(cadScriptText(design, analysis));
  const auto reference = expectedScript();
  ASSERT_EQ(lines.size(), reference.size());
  // Number and point lines stay plain decimals; every other line is unchanged.
  const std::regex plainNumbers(R"(-?[0-9]+(\.[0-9]+)?(,-?[0-9]+(\.[0-9]+)?)?)");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (std::regex_match(reference[i], plainNumbers)) {
      EXPECT_TRUE(std::regex_match(lines[i], plainNumbers)) << "line " << i + 1 << ": " << lines[i];
    } else {
      EXPECT_EQ(lines[i], reference[i]) << "line " << i + 1;
    }
  }
  EXPECT_EQ(lines[1], "-500,-500");
  EXPECT_EQ(lines[2], "10000000000000000,10000000000000000");
}

TEST(CadScript, CoordinateBeyondDoubleRangeIsAnArithmeticFault) {
  DesignData design = madeUpDesign();
  design.propellerCentreX = 1e306;
  try {
    scriptOf(design);
    FAIL() << "an overflowing coordinate was written";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::Arithmetic);
  }
}

TEST(CadScript, ZeroDiameterIsAnArithmeticFault) {
  DesignData design = madeUpDesign();
  design.propellerDiameter = 0.0;
  try {
    scriptOf(design);
    FAIL() << "a zero diameter was accepted";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::Arithmetic);
  }
}

TEST(WriteCadScript, WritesEveryLineWithCrLf) {
  const test::ScratchDir dir;
  const auto path = dir / cadScriptFileName;
  {
    OutputFile script(path, cadScriptFileName, OutputFile::Devices::Refuse);
    const DesignData design = madeUpDesign();
    writeCadScript(script, design, judgeAnalysis(madeUpAnalysis(design), design.propellerDiameter, std::nullopt));
    script.commit();
  }
  const std::string content = test::readFile(path);
  std::size_t lineEnds = 0;
  for (std::size_t i = 0; i < content.size(); ++i) {
    if (content[i] == '\n') {
      ++lineEnds;
      EXPECT_TRUE(i > 0 && content[i - 1] == '\r') << "bare line feed at byte " << i;
    }
  }
  EXPECT_EQ(lineEnds, 197u);
  EXPECT_EQ(test::splitCrLfLines(content), expectedScript());
}

}  // namespace
}  // namespace propclear
