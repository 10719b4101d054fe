// Text typed into a design field and contour tables pasted from a
// spreadsheet: what is taken, and the reason given for what is refused.

#include "design/design_field.h"

#include <gtest/gtest.h>

#include "design/contour_table_text.h"
#include "support/sample_design.h"

namespace propclear {
namespace {

constexpr FieldRef diameter{DesignField::PropellerDiameter, 0};
constexpr FieldRef rake{DesignField::RakeAngle, 0};
constexpr FieldRef code{DesignField::ContourCode, 3};
constexpr FieldRef rudderZ{DesignField::RudderZ, 2};

TEST(DesignField, TakesNumbersOfTheDesignFileSyntax) {
  EXPECT_EQ(checkFieldText(diameter, " 4.6 ").value, 4.6);
  EXPECT_EQ(checkFieldText(diameter, "46e-1").value, 4.6);
  EXPECT_EQ(checkFieldText(rudderZ, "-.5").value, -0.5);
  EXPECT_EQ(checkFieldText(code, "0").value, 0.0);
  EXPECT_EQ(checkFieldText(rake, "-89.9").value, -89.9);
}

TEST(DesignField, RefusesWhatNoDesignCanHoldWithTheReason) {
  const struct {
    FieldRef ref;
    const char* text;
    const char* reason;
  } refused[] = {
      {diameter, "", "D needs a number"},
      {diameter, "4,6", "\"4,6\" is not a number (D)"},
      {diameter, "nan", "\"nan\" is not a number (D)"},
      {diameter, "1e999", "\"1e999\" is out of range (D)"},
      {diameter, "0", "the propeller diameter must be greater than 0"},
      {diameter, "-4.6", "the propeller diameter must be greater than 0"},
      {{DesignField::HubDiameter, 0}, "-0.1", "the hub diameter must not be negative"},
      {{DesignField::PitchRatio, 0}, "0", "P/D must be greater than 0"},
      {rake, "90", "the rake angle must lie between -90 and 90 degrees"},
      {code, "99.0", "99 ends the contour list in the design file and cannot be a point's code"},
      {rudderZ, "12000", "rudder corner 2 z lies more than 10000 m from the origin"},
      {{DesignField::ContourX, 7}, "2.8x", "\"2.8x\" is not a number (contour point 7 x)"},
  };
  for (const auto& [ref, text, reason] : refused) {
    const FieldEntry entry = checkFieldText(ref, text);
    EXPECT_FALSE(entry.value) << text;
    EXPECT_EQ(entry.fault, reason);
  }
}

TEST(DesignField, ReadsAndWritesEveryFieldOfTheDesign) {
  DesignData design = test::sampleDesign();
  const FieldRef refs[] = {{DesignField::PropellerCentreX, 0}, {DesignField::WaterlineHeight, 0},
                           {DesignField::RudderX, 4},          {DesignField::ContourZ, 1},
                           {DesignField::ContourX, 2},         code};
  double value = 100.0;
  for (const FieldRef& ref : refs) {
    setFieldValue(design, ref, ++value);
    EXPECT_EQ(fieldValue(design, ref), value) << fieldName(ref);
  }
  EXPECT_EQ(design.rudderX[4], 103.0);
  EXPECT_EQ(design.contourCode[sternContourRow][3], 106.0);
}

TEST(ContourTable, ReadsSpreadsheetRowsWithHeadingAndDecimalCommas) {
  const ContourTableParse table =
      parseContourTable("z (m)\tx (m)\tcode\r\n0,3\t1,8\t1\r\n\r\n2.5\t2.85\t0\r\n6\t4\r\n");
  ASSERT_EQ(table.fault, "");
  const std::vector<ContourPoint> expected = {{0.3, 1.8, 1.0}, {2.5, 2.85, 0.0}, {6.0, 4.0, 1.0}};
  EXPECT_EQ(table.points, expected);
}

TEST(ContourTable, ReadsDesignFileLinesUpToTheTerminator) {
  const ContourTableParse table = parseContourTable("0.3, 1.8, 1\n0.8 2.05 1\n0, 0, 99\n9, 9, 1\n");
  ASSERT_EQ(table.fault, "");
  const std::vector<ContourPoint> expected = {{0.3, 1.8, 1.0}, {0.8, 2.05, 1.0}};
  EXPECT_EQ(table.points, expected);
}

TEST(ContourTable, RefusesABadTableWholeNamingLineAndCell) {
  const struct {
    std::string text;
    std::string fault;
  } refused[] = {
      {"0.3\t1.8\t1\n0.8\tx\t1\n", "line 2, cell 2: \"x\" is not a number (contour point 2 x)"},
      {"0.3\t1.8\t1\t5\n", "line 1: 4 cells; a point has z, x and an optional code"},
      {"0.3\n", "line 1: 1 cells; a point has z, x and an optional code"},
      {"0.3\t\t1\n", "line 1, cell 2: contour point 1 x needs a number"},
      {"z\tx\n", "the table holds no contour point"},
      {"", "the table holds no contour point"},
      {"heading\nsecond heading\n", "line 2, cell 1: \"second\" is not a number (contour point 1 z)"},
  };
  for (const auto& [text, fault] : refused) {
    const ContourTableParse table = parseContourTable(text);
    EXPECT_EQ(table.fault, fault) << text;
    EXPECT_TRUE(table.points.empty());
  }
  std::string tooLong;
  for (int i = 0; i <= maxContourPoints; ++i) tooLong += std::to_string(i) + "\t1\n";
  EXPECT_EQ(parseContourTable(tooLong).fault,
            "the table holds more than 250 points, the most a stern contour may have");
  tooLong.resize(tooLong.rfind('\n', tooLong.size() - 2) + 1);
  EXPECT_EQ(parseContourTable(tooLong).points.size(), 250u);
}

TEST(ContourTable, PointsGoIntoTheDesignAndComeBack) {
  DesignData design = test::sampleDesign();
  const std::vector<ContourPoint> points = {{0.1, 1.0, 1.0}, {1.1, 1.5, 0.0}};
  setSternContour(design, points);
  EXPECT_EQ(design.contourPointCount[sternContourRow], 2);
  EXPECT_EQ(sternContourOf(design), points);
  EXPECT_THROW(setSternContour(design, std::vector<ContourPoint>(251)), std::length_error);
}

}  // namespace
}  // namespace propclear
