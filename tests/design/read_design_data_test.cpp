#include "design/read_design_data.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/run_error.h"
#include "design_file_builder.h"
#include "design/plot_extent.h"
#include "support/test_support.h"

namespace propclear {
namespace {

using test::DesignFileBuilder;
using test::ScratchDir;

class ReadDesignDataTest : public ::testing::Test {
 protected:
  ReadResult read(const DesignFileBuilder& file) {
    return readDesignData(file.writeTo(scratch / designFileName));
  }
  ReadResult readText(const std::string& content) {
    test::writeFile(scratch / designFileName, content);
    return readDesignData(scratch / designFileName);
  }
  int contourCount(const ReadResult& result) const {
    return result.design.contourPointCount[sternContourRow];
  }

  ScratchDir scratch;
};

TEST_F(ReadDesignDataTest, ReadsEveryValueOfTheLayout) {
  const ReadResult result = read(DesignFileBuilder());
  ASSERT_EQ(result.outcome, ReadOutcome::Read);
  const DesignData& d = result.design;
  EXPECT_EQ(d.propellerCentreX, 4.0);
  EXPECT_EQ(d.propellerCentreZ, 2.8);
  EXPECT_EQ(d.waterlineHeight, 9.0);
  EXPECT_EQ(d.propellerDiameter, 4.6);
  EXPECT_EQ(d.hubDiameter, 0.85);
  EXPECT_EQ(d.pitchRatio, 0.8);
  EXPECT_EQ(d.areaRatio, 0.55);
  EXPECT_EQ(d.rakeAngle, 10.0);
  EXPECT_EQ(d.rudderPointCount, 4);
  const double rudderX[] = {9.1, 8.9, 6.25, 6.15};
  const double rudderZ[] = {0.6, 6.0, 6.0, 0.6};
  for (int i = 1; i <= 4; ++i) {
    EXPECT_EQ(d.rudderX[i], rudderX[i - 1]) << "corner " << i;
    EXPECT_EQ(d.rudderZ[i], rudderZ[i - 1]) << "corner " << i;
  }
  ASSERT_EQ(contourCount(result), 3);
  const double contourZ[] = {0.3, 2.8, 6.0};
  const double contourX[] = {1.8, 2.9, 4.4};
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(d.contourZ[sternContourRow][k], contourZ[k - 1]) << "point " << k;
    EXPECT_EQ(d.contourX[sternContourRow][k], contourX[k - 1]) << "point " << k;
    EXPECT_EQ(d.contourCode[sternContourRow][k], 1.0) << "point " << k;
  }
  EXPECT_EQ(d.contourPointCount[0], 0);
}

TEST_F(ReadDesignDataTest, CodesOtherThan99AreCarriedUnchanged) {
  const ReadResult result = read(
      DesignFileBuilder().contour({"1, 2, 0", "2, 3, 7.5", "3, 4, -1", "4, 5, 98.999", "0,0,99"}));
  ASSERT_EQ(contourCount(result), 4);
  const double codes[] = {0.0, 7.5, -1.0, 98.999};
  for (int k = 1; k <= 4; ++k)
    EXPECT_EQ(result.design.contourCode[sternContourRow][k], codes[k - 1]);
}

TEST_F(ReadDesignDataTest, TerminatorFirstGivesAnEmptyContourAndZeroExtent) {
  ReadResult result = read(DesignFileBuilder().contour({"5.5, 6.5, 99"}));
  ASSERT_EQ(result.outcome, ReadOutcome::Read);
  EXPECT_EQ(contourCount(result), 0);
  const PlotExtent extent = plotExtentOf(result.design);
  EXPECT_EQ(extent.min, 0.0);
  EXPECT_EQ(extent.max, 0.0);
  EXPECT_EQ(extent.range, 0.0);
}

TEST_F(ReadDesignDataTest, TerminatorOnTheLastAllowedLineGives250Points) {
  const ReadResult result = read(DesignFileBuilder().risingContour(maxContourPoints));
  ASSERT_EQ(result.outcome, ReadOutcome::Read);
  ASSERT_EQ(contourCount(result), 250);
  EXPECT_EQ(result.design.contourZ[sternContourRow][1], 1.5);
  EXPECT_EQ(result.design.contourZ[sternContourRow][250], 250.5);
  EXPECT_EQ(result.design.contourX[sternContourRow][250], 250 % 7);
  EXPECT_EQ(result.design.contourZ[sternContourRow][251], 0.0);
}

TEST_F(ReadDesignDataTest, ContourWithout99Within251LinesIsTooLong) {
  // The terminator on line 252 comes too late, and the malformed tail is never read.
  const ReadResult result =
      read(DesignFileBuilder().risingContour(maxContourLines).tail("not a number\r\n"));
  EXPECT_EQ(result.outcome, ReadOutcome::ContourTooLong);
  EXPECT_EQ(contourCount(result), 0);
}

TEST_F(ReadDesignDataTest, TooLongContourStopsReadingAtLine251) {
  // Line 252 of the contour is binary garbage: reading must stop before it.
  const ReadResult result =
      read(DesignFileBuilder().risingContour(maxContourLines).tail(std::string("\0\xFF,,x", 5)));
  EXPECT_EQ(result.outcome, ReadOutcome::ContourTooLong);
}

TEST_F(ReadDesignDataTest, CodeNear99IsAnOrdinaryPoint) {
  const ReadResult result =
      read(DesignFileBuilder().contour({"1, 2, 99.5", "2, 3, 98.9999", "3, 4, 99"}));
  ASSERT_EQ(contourCount(result), 2);
  EXPECT_EQ(result.design.contourCode[sternContourRow][1], 99.5);
}

TEST_F(ReadDesignDataTest, ZeroFractionCodeEndsTheContour) {
  const ReadResult result =
      read(DesignFileBuilder().contour({"1, 2, 1", "3.5, 4.5, 99.0", "7, 8, 1"}));
  EXPECT_EQ(contourCount(result), 1);
  const ReadResult exponent = read(DesignFileBuilder().contour({"1, 2, 1", "0, 0, 9.9e1"}));
  EXPECT_EQ(contourCount(exponent), 1);
}

TEST_F(ReadDesignDataTest, TextAfterTheTerminatorIsNeverRead) {
  const ReadResult result = read(DesignFileBuilder()
                                     .contour({"1, 2, 1", "0, 0, 99 trailing words"})
                                     .tail("abc, def\r\n\x01\x02 nan, inf\r\n1e400"));
  ASSERT_EQ(result.outcome, ReadOutcome::Read);
  EXPECT_EQ(contourCount(result), 1);
}

TEST_F(ReadDesignDataTest, TerminatorWithoutLineEndAtTheEndOfFile) {
  const ReadResult result = readText(DesignFileBuilder().contour({"1, 2, 1"}).text() + "0, 0, 99");
  EXPECT_EQ(contourCount(result), 1);
}

struct SeparatorCase {
  const char* name;
  const char* line20;
};

class SeparatorTest : public ReadDesignDataTest,
                      public ::testing::WithParamInterface<SeparatorCase> {};

TEST_P(SeparatorTest, AllSeparatorFormsReadAlike) {
  const ReadResult result = read(DesignFileBuilder().line(20, GetParam().line20));
  ASSERT_EQ(result.outcome, ReadOutcome::Read);
  EXPECT_EQ(result.design.pitchRatio, 0.75);
  EXPECT_EQ(result.design.areaRatio, 0.5);
  EXPECT_EQ(result.design.rakeAngle, -15.0);
  EXPECT_EQ(result.design.rudderX[1], 9.1) << "the next skip and read start on their own lines";
  EXPECT_EQ(contourCount(result), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, SeparatorTest,
    ::testing::Values(SeparatorCase{"Comma", "0.75,0.5,-15"},
                      SeparatorCase{"CommaBlank", "0.75, 0.5, -15"},
                      SeparatorCase{"BlankComma", "0.75 ,0.5 ,-15"},
                      SeparatorCase{"BlanksAroundComma", "0.75   ,   0.5 , -15"},
                      SeparatorCase{"Blanks", "0.75   0.5 -15"},
                      SeparatorCase{"Tabs", "0.75\t0.5\t\t-15"},
                      SeparatorCase{"TabsAroundComma", "\t0.75\t,\t0.5,\t-15\t"},
                      SeparatorCase{"LeadingBlanks", "   0.75 0.5 -15"},
                      SeparatorCase{"TrailingBlanks", "0.75, 0.5, -15    "},
                      SeparatorCase{"SignsAndExponents", "+7.5e-1, 5E-1, -1.5e+1"}),
    [](const ::testing::TestParamInfo<SeparatorCase>& info) { return info.param.name; });

TEST_F(ReadDesignDataTest, ValueLineContinuesOntoTheNextLines) {
  // Line 20 holds only P/D; area ratio and rake follow after an empty and a
  // blank line, and the three skipped lines come after them.
  std::string content = DesignFileBuilder().line(20, "0.75").text();
  const std::string valueLine = "0.75\r\n";
  content.insert(content.find(valueLine) + valueLine.size(), "\r\n  \r\n0.5,\r\n-15\r\n");
  const ReadResult result = readText(content);
  ASSERT_EQ(result.outcome, ReadOutcome::Read);
  EXPECT_EQ(result.design.pitchRatio, 0.75);
  EXPECT_EQ(result.design.areaRatio, 0.5);
  EXPECT_EQ(result.design.rakeAngle, -15.0);
  EXPECT_EQ(result.design.rudderX[1], 9.1);
  EXPECT_EQ(contourCount(result), 3);
}

TEST_F(ReadDesignDataTest, HeaderLinesHoldingNumbersAreStillSkipped) {
  DesignFileBuilder file;
  for (int line : {1, 11, 12, 14, 16, 18, 19, 21, 22, 23, 28, 29}) {
    file.line(line, "11, 22, 33, 44");
  }
  file.line(12, "");
  file.line(19, "   \t ");
  const ReadResult result = read(file);
  ASSERT_EQ(result.outcome, ReadOutcome::Read);
  EXPECT_EQ(result.design.propellerCentreX, 4.0);
  EXPECT_EQ(result.design.waterlineHeight, 9.0);
  EXPECT_EQ(result.design.propellerDiameter, 4.6);
  EXPECT_EQ(result.design.pitchRatio, 0.8);
  EXPECT_EQ(result.design.rudderX[1], 9.1);
  EXPECT_EQ(result.design.contourZ[sternContourRow][1], 0.3);
}

TEST_F(ReadDesignDataTest, TextAfterTheValuesIsTakenByTheNextSkip) {
  // The skip of line 14 only discards the rest of line 13, so the waterline
  // height is looked for on line 14.
  try {
    read(DesignFileBuilder().line(13, "4.0, 2.8, 77 metres"));
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_STREQ(error.what(),
                 "Norvalek.TSK:14:1: expected a number (waterline height), found \"caption\" (line "
                 "13 holds 3 numbers for its 2 fields, propeller centre x and propeller centre z: "
                 "\"4.0, 2.8, 77 metres\"; a decimal comma or a missing separator is the usual "
                 "cause)");
  }
}

TEST_F(ReadDesignDataTest, TrailingCommaLeavesTheLineEndToTheNextSkip) {
  // After the last value only the comma is consumed; the first of the three
  // skips takes the line end, and the rudder is looked for on line 23.
  try {
    read(DesignFileBuilder().line(20, "0.75, 0.5, -15,"));
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_STREQ(error.what(),
                 "Norvalek.TSK:23:1: expected a number (rudder point 1 x), found \"caption\"");
  }
}

TEST_F(ReadDesignDataTest, ExtraValueOnAContourLineShiftsTheStream) {
  // Contour lines are not skipped: an extra value becomes the next point's height.
  const ReadResult result = read(DesignFileBuilder().contour({"1, 2, 1, 5", "6, 1, 7, 0, 99"}));
  ASSERT_EQ(contourCount(result), 2);
  EXPECT_EQ(result.design.contourZ[sternContourRow][2], 5.0);
  EXPECT_EQ(result.design.contourX[sternContourRow][2], 6.0);
  EXPECT_EQ(result.design.contourCode[sternContourRow][2], 1.0);
}

class LineEndTest : public ReadDesignDataTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(LineEndTest, EveryLineEndReadsAlike) {
  const DesignFileBuilder file = DesignFileBuilder()
                                     .line(12, "")
                                     .line(14, "")
                                     .contour({"1, 2,", "1", "", "  ", "3, 4, 0", "0, 0, 99"})
                                     .lineEnd(GetParam());
  const ReadResult result = read(file);
  ASSERT_EQ(result.outcome, ReadOutcome::Read);
  EXPECT_EQ(result.design.propellerCentreX, 4.0);
  EXPECT_EQ(result.design.propellerCentreZ, 2.8);
  EXPECT_EQ(result.design.waterlineHeight, 9.0);
  EXPECT_EQ(result.design.propellerDiameter, 4.6);
  ASSERT_EQ(contourCount(result), 2);
  EXPECT_EQ(result.design.contourX[sternContourRow][2], 4.0);
  EXPECT_EQ(result.design.contourCode[sternContourRow][2], 0.0);
}

INSTANTIATE_TEST_SUITE_P(Endings, LineEndTest, ::testing::Values("\r\n", "\n", "\r"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param) == "\r\n" ? "CrLf"
                                  : std::string(info.param) == "\n" ? "Lf"
                                                                    : "Cr";
                         });

TEST_F(ReadDesignDataTest, MixedLineEndsCountAsOneLineEach) {
  std::string content = DesignFileBuilder().lineEnd("\n").text();
  // Caption lines 1..3 with CR LF, lone CR and LF respectively: still three lines.
  content.replace(content.find("caption 1\n"), 10, "caption 1\r\n");
  content.replace(content.find("caption 2\n"), 10, "caption 2\r");
  const ReadResult result = readText(content);
  ASSERT_EQ(result.outcome, ReadOutcome::Read);
  EXPECT_EQ(result.design.propellerCentreX, 4.0);
  EXPECT_EQ(contourCount(result), 3);
}

TEST_F(ReadDesignDataTest, CrLfSplitAcrossReadChunksIsOneLineEnd) {
  // Line 1 is 65535 bytes long, so its CR is the last byte of the first 64 KiB
  // read and its LF the first byte of the next.
  try {
    read(DesignFileBuilder().line(1, std::string(65535, 'h')).line(17, "4.6, abc"));
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_STREQ(error.what(),
                 "Norvalek.TSK:17:6: expected a number (hub diameter), found \"abc\"");
  }
  const ReadResult result =
      read(DesignFileBuilder().line(1, std::string(65535, 'h')).lineEnd("\r"));
  EXPECT_EQ(result.design.propellerCentreX, 4.0);
  EXPECT_EQ(contourCount(result), 3);
}

TEST_F(ReadDesignDataTest, NegativeCoordinatesWidenThePlotExtentBelowZero) {
  ReadResult result = read(
      DesignFileBuilder().contour({"-0.5, -2.25, 1", "1.0, 3.5, 1", "7.5, -1.0, 1", "0, 0, 99"}));
  ASSERT_EQ(contourCount(result), 3);
  EXPECT_EQ(result.design.contourZ[sternContourRow][1], -0.5);
  EXPECT_EQ(result.design.contourX[sternContourRow][1], -2.25);
  const PlotExtent extent = plotExtentOf(result.design);
  EXPECT_EQ(extent.min, -2.25);
  EXPECT_EQ(extent.max, 7.5);
  EXPECT_EQ(extent.range, 9.75);
}

TEST_F(ReadDesignDataTest, ContourAboveAndRightOfTheOriginStillHasPlotMinZero) {
  ReadResult result =
      read(DesignFileBuilder().contour({"0.5, 1.25, 1", "3.0, 2.0, 1", "6.5, 8.0, 1", "0, 0, 99"}));
  const PlotExtent extent = plotExtentOf(result.design);
  EXPECT_EQ(extent.min, 0.0);
  EXPECT_EQ(extent.max, 8.0);
  EXPECT_EQ(extent.range, 8.0);
}

TEST_F(ReadDesignDataTest, TerminatorHeightAndXDoNotTakePart) {
  ReadResult result = read(DesignFileBuilder().contour({"1, 2, 1", "-50, 500, 99"}));
  const PlotExtent extent = plotExtentOf(result.design);
  EXPECT_EQ(extent.min, 0.0);
  EXPECT_EQ(extent.max, 2.0);
}

TEST_F(ReadDesignDataTest, SubnormalValuesAreAccepted) {
  const ReadResult result = read(DesignFileBuilder().line(15, "1e-320"));
  ASSERT_EQ(result.outcome, ReadOutcome::Read);
  EXPECT_EQ(result.design.waterlineHeight, 1e-320);
}

TEST_F(ReadDesignDataTest, LongHeaderLineIsSkippedWhole) {
  // A caption of 3 MB holding commas, NUL bytes and digits is one line.
  std::string caption(3'000'000, 'x');
  for (std::size_t i = 0; i < caption.size(); i += 997) caption[i] = ',';
  for (std::size_t i = 5; i < caption.size(); i += 1009) caption[i] = '\0';
  const ReadResult result = read(DesignFileBuilder().line(14, caption));
  ASSERT_EQ(result.outcome, ReadOutcome::Read);
  EXPECT_EQ(result.design.waterlineHeight, 9.0);
}

}  // namespace
}  // namespace propclear
