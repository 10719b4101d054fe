// Writing a changed design back into its file's text: only changed numbers
// are rewritten, with the decimals of the numbers they replace, and reading
// the result gives the design bit for bit.

#include "design/rewrite_design_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "common/run_error.h"
#include "design/read_design_data.h"
#include "support/test_support.h"

namespace propclear {
namespace {

std::string exampleText() { return test::readFile(test::examplesDir() / designFileName); }

DesignData readBack(const std::string& text) {
  const ReadResult read = readDesignText(text, "written");
  EXPECT_EQ(read.outcome, ReadOutcome::Read);
  return read.design;
}

void expectSameDesign(const DesignData& actual, const DesignData& expected) {
  const auto bits = [](double value) { return std::bit_cast<std::uint64_t>(value); };
  EXPECT_EQ(bits(actual.propellerCentreX), bits(expected.propellerCentreX));
  EXPECT_EQ(bits(actual.propellerCentreZ), bits(expected.propellerCentreZ));
  EXPECT_EQ(bits(actual.waterlineHeight), bits(expected.waterlineHeight));
  EXPECT_EQ(bits(actual.propellerDiameter), bits(expected.propellerDiameter));
  EXPECT_EQ(bits(actual.hubDiameter), bits(expected.hubDiameter));
  EXPECT_EQ(bits(actual.pitchRatio), bits(expected.pitchRatio));
  EXPECT_EQ(bits(actual.areaRatio), bits(expected.areaRatio));
  EXPECT_EQ(bits(actual.rakeAngle), bits(expected.rakeAngle));
  for (int corner = 1; corner <= rudderCornerCount; ++corner) {
    EXPECT_EQ(bits(actual.rudderX[corner]), bits(expected.rudderX[corner])) << corner;
    EXPECT_EQ(bits(actual.rudderZ[corner]), bits(expected.rudderZ[corner])) << corner;
  }
  const int n = expected.contourPointCount[sternContourRow];
  ASSERT_EQ(actual.contourPointCount[sternContourRow], n);
  for (int k = 1; k <= n; ++k) {
    EXPECT_EQ(bits(actual.contourZ[sternContourRow][k]), bits(expected.contourZ[sternContourRow][k])) << k;
    EXPECT_EQ(bits(actual.contourX[sternContourRow][k]), bits(expected.contourX[sternContourRow][k])) << k;
    EXPECT_EQ(bits(actual.contourCode[sternContourRow][k]), bits(expected.contourCode[sternContourRow][k])) << k;
  }
}

TEST(RewriteDesignText, OnlyTheChangedNumbersChange) {
  const std::string original = exampleText();
  DesignData design = readBack(original);
  EXPECT_EQ(rewriteDesignText(original, "Norvalek.TSK", design), original);

  design.propellerDiameter = 14.0 / 3.0;  // no short decimal: 16 digits
  design.propellerCentreZ = 3.25;  // fewer decimals than written: padded
  design.hubDiameter = 0.8125;      // more: as many as it needs
  design.rudderX[3] = -0.0;
  design.contourX[sternContourRow][24] = 1e-7;
  const std::string written = rewriteDesignText(original, "Norvalek.TSK", design);
  expectSameDesign(readBack(written), design);

  const std::vector<std::string> before = test::splitCrLfLines(original);
  const std::vector<std::string> after = test::splitCrLfLines(written);
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    const std::size_t line = i + 1;
    if (line == 13 || line == 17 || line == 26 || line == 53) continue;
    EXPECT_EQ(after[i], before[i]) << "line " << line;
  }
  EXPECT_EQ(after[12], "4.000, 3.250");
  EXPECT_EQ(after[16], "4.666666666666667, 0.8125");
  EXPECT_EQ(after[25], "-0, 6.000");
  EXPECT_EQ(after[52], "10.500, 0.0000001, 1");
}

TEST(RewriteDesignText, ContourOfAnotherLengthIsWrittenAfresh) {
  // Line feeds only, and notes after the terminator: both kept.
  std::string original;
  for (const char c : exampleText()) {
    if (c != '\r') original += c;
  }
  original += "notes after the terminator stay\n";
  DesignData design = readBack(original);
  design.contourPointCount[sternContourRow] = 3;
  design.contourZ[sternContourRow][3] = 2.75;
  std::string written = rewriteDesignText(original, "x", design);
  expectSameDesign(readBack(written), design);
  EXPECT_EQ(written.find('\r'), std::string::npos);
  EXPECT_NE(written.find("\n0.300, 1.800, 1\n0.800, 2.050, 1\n2.750, 2.350, 1\n0.000, 0.000, 99\nnotes after"),
            std::string::npos);

  design = readBack(original);
  const int more = design.contourPointCount[sternContourRow] + 2;
  for (int k = more - 1; k <= more; ++k) {
    design.contourZ[sternContourRow][k] = 10.5 + k;
    design.contourX[sternContourRow][k] = 11.0;
    design.contourCode[sternContourRow][k] = 1;
  }
  design.contourPointCount[sternContourRow] = more;
  written = rewriteDesignText(original, "x", design);
  expectSameDesign(readBack(written), design);
  EXPECT_NE(written.find("36.500, 11.000, 1\n0.000, 0.000, 99\n"), std::string::npos);

  design.contourPointCount[sternContourRow] = 0;
  expectSameDesign(readBack(rewriteDesignText(original, "x", design)), design);
}

TEST(RewriteDesignText, RefusesWhatCannotBeWritten) {
  const std::string original = exampleText();
  DesignData design = readBack(original);
  design.hubDiameter = std::numeric_limits<double>::infinity();
  EXPECT_THROW(rewriteDesignText(original, "x", design), RunError);
  try {
    rewriteDesignText(original.substr(0, 300), "short.TSK", readBack(original));
    FAIL() << "a truncated original was accepted";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::Input);
    EXPECT_NE(std::string(error.what()).find("short.TSK:"), std::string::npos) << error.what();
  }
}

}  // namespace
}  // namespace propclear
