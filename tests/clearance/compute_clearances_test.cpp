#include "clearance/compute_clearances.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/run_error.h"
#include "report/format_number.h"
#include "sample_design.h"

namespace propclear {
namespace {

using test::sampleDesign;
using test::setContour;

// The 0.7R value comes from a spline through the station values; it equals
// station 6's value up to the effect of the fit's guard terms.
constexpr double kSplineTolerance = 1e-6;
// Reflected blade ends differ only by rounding.
constexpr double kReflectionTolerance = 1e-12;

struct Analysis {
  DesignData design;
  BladeOutline outline;
  CurveWorkspace workspace;
  DrawingSurface surface;
  Diagnostics diagnostics;
  ClearanceSet clearances;

  explicit Analysis(const DesignData& d) : design(d) {
    outline = buildBladeOutline(design.propellerDiameter, design.pitchRatio, design.areaRatio,
                                design.rakeAngle);
    ClearanceContext context{design, outline, workspace, surface, diagnostics};
    computeUpperBladeClearances(context, clearances);
    computeLowerBladeClearances(context, clearances);
  }

  const ClearanceSegment& operator[](ClearanceIndex i) const { return clearances[i]; }

  std::vector<std::string> labels() const {
    std::vector<std::string> texts;
    for (const DrawCommand& c : surface.commands())
      if (c.op == DrawOp::PrintText) texts.push_back(c.text);
    return texts;
  }

  bool warned(const std::string& part) const {
    for (const std::string& w : diagnostics.warnings)
      if (w.find(part) != std::string::npos) return true;
    return false;
  }
};

TEST(Clearances, SixRecordsInOrderWithTheirShapes) {
  const Analysis run(sampleDesign());
  const char* names[] = {"a", "b", "c", "a'", "b'", "c'"};
  for (int i = 0; i < clearanceCount; ++i) {
    const ClearanceSegment& s = run.clearances[i];
    EXPECT_EQ(s.name, names[i]);
    EXPECT_GE(s.length, 0.0);
    const bool vertical = i == clearanceB || i == clearanceBPrime;
    if (vertical) {
      EXPECT_EQ(s.bladeX, s.targetX) << s.name;
      EXPECT_EQ(s.length, std::abs(s.bladeZ - s.targetZ)) << s.name;
    } else {
      EXPECT_EQ(s.bladeZ, s.targetZ) << s.name;
      EXPECT_EQ(s.length, std::abs(s.bladeX - s.targetX)) << s.name;
    }
  }
  EXPECT_TRUE(run.diagnostics.warnings.empty()) << run.diagnostics.warnings.front();
}

TEST(Clearances, BladeEndsAreTheStationSixEdgePoints) {
  const Analysis run(sampleDesign());
  const BladeOutline& b = run.outline;
  const double x0 = 4.0, z0 = 2.8;
  EXPECT_NEAR(run[clearanceA].bladeX, x0 + b.edge2X[6], kSplineTolerance);
  EXPECT_NEAR(run[clearanceA].bladeZ, z0 + b.edge2Z[6], kSplineTolerance);
  EXPECT_NEAR(run[clearanceC].bladeX, x0 + b.edge1X[6], kSplineTolerance);
  EXPECT_NEAR(run[clearanceC].bladeZ, z0 + b.edge1Z[6], kSplineTolerance);
  // The lower blade is the upper one reflected through the propeller centre.
  EXPECT_NEAR(run[clearanceAPrime].bladeX, 2 * x0 - run[clearanceC].bladeX, kReflectionTolerance);
  EXPECT_NEAR(run[clearanceAPrime].bladeZ, 2 * z0 - run[clearanceC].bladeZ, kReflectionTolerance);
  EXPECT_NEAR(run[clearanceCPrime].bladeX, 2 * x0 - run[clearanceA].bladeX, kReflectionTolerance);
  EXPECT_NEAR(run[clearanceBPrime].bladeX, 2 * x0 - run[clearanceB].bladeX, kReflectionTolerance);
  EXPECT_NEAR(run[clearanceBPrime].bladeZ, 2 * z0 - run[clearanceB].bladeZ, kReflectionTolerance);
}

TEST(Clearances, TipClearanceReachesTheContourAboveTheTip) {
  const Analysis run(sampleDesign());
  const ClearanceSegment& b = run[clearanceB];
  // The sample contour arches over the tip: the target lies above it, on the contour.
  EXPECT_GT(b.targetZ, b.bladeZ);
  EXPECT_GT(b.targetZ, 5.0);
  EXPECT_LT(b.targetZ, 6.6);
}

TEST(Clearances, LowerTipClearanceUsesOnlyTheFirstContourHeight) {
  DesignData design = sampleDesign();
  const Analysis before(design);
  design.contourX[sternContourRow][4] += 0.3;
  design.contourZ[sternContourRow][9] += 0.2;
  const Analysis after(design);
  EXPECT_EQ(after[clearanceBPrime].length, before[clearanceBPrime].length);
  EXPECT_EQ(after[clearanceBPrime].targetZ, 0.2);
  EXPECT_NE(after[clearanceA].length, before[clearanceA].length);
}

TEST(Clearances, LabelsCarryRatiosForAAndBOnly) {
  const Analysis run(sampleDesign());
  const double d = 4.6;
  const std::vector<std::string> expected = {
      "a=" + formatFixed(run[clearanceA].length / d, 1, 3) + "D",
      "b=" + formatFixed(run[clearanceB].length / d, 1, 3) + "D", "c", "a'", "b'", "c'"};
  EXPECT_EQ(run.labels(), expected);
}

TEST(Clearances, SegmentColoursAndLabelPlaces) {
  const Analysis run(sampleDesign());
  std::vector<DrawCommand> lines, moves;
  for (const DrawCommand& c : run.surface.commands()) {
    if (c.op == DrawOp::DrawLine) lines.push_back(c);
    if (c.op == DrawOp::MoveTextCursor) moves.push_back(c);
  }
  ASSERT_EQ(lines.size(), 6u);
  const int colours[] = {10, 10, 9, 9, 9, 9};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(lines[i].colour, colours[i]);
  const ClearanceSegment& b = run[clearanceB];
  EXPECT_FLOAT_EQ(moves[1].y1, static_cast<float>((b.targetZ + b.bladeZ) / 1.8));
  const ClearanceSegment& bp = run[clearanceBPrime];
  EXPECT_FLOAT_EQ(moves[4].y1, static_cast<float>((bp.bladeZ + bp.targetZ) / 2));
  const ClearanceSegment& a = run[clearanceA];
  EXPECT_FLOAT_EQ(moves[0].x1, static_cast<float>((a.targetX + a.bladeX) / 2));
}

TEST(RudderEdge, VerticalWithinATenthOfAMillimetreUsesTheMean) {
  DesignData design = sampleDesign();
  design.rudderX[3] = 6.6;
  design.rudderX[4] = 6.60005;
  EXPECT_DOUBLE_EQ(rudderEdgeXAtHeight(design, 1.0), (6.6 + 6.60005) / 2);
  EXPECT_DOUBLE_EQ(rudderEdgeXAtHeight(design, 5.0), (6.6 + 6.60005) / 2);
}

TEST(RudderEdge, TwoTenthsOfAMillimetreApartUsesTheSlopedEdge) {
  DesignData design = sampleDesign();
  design.rudderX[3] = 6.6;
  design.rudderZ[3] = 6.2;
  design.rudderX[4] = 6.6002;
  design.rudderZ[4] = 0.6;
  const double atTop = rudderEdgeXAtHeight(design, 6.2);
  const double atBottom = rudderEdgeXAtHeight(design, 0.6);
  EXPECT_NEAR(atTop, 6.6, 1e-12);
  EXPECT_NEAR(atBottom, 6.6002, 1e-12);
}

TEST(RudderEdge, HorizontalEdgeIsAnArithmeticFault) {
  DesignData design = sampleDesign();
  design.rudderX[3] = 7.9;
  design.rudderZ[3] = design.rudderZ[4];
  try {
    rudderEdgeXAtHeight(design, 1.0);
    FAIL() << "expected an arithmetic fault";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::Arithmetic);
    EXPECT_NE(std::string(error.what()).find("rudder"), std::string::npos);
  }
}

TEST(Clearances, ContourListedTopDownMeasuresToMidHeightAndToXZero) {
  DesignData design = sampleDesign();
  setContour(design, {{6.6, 6.0, 1}, {5.0, 2.1, 1}, {3.0, 1.4, 1}, {0.2, 1.2, 1}});
  const Analysis run(design);
  EXPECT_DOUBLE_EQ(run[clearanceB].targetZ, (6.6 + 0.2) / 2);
  EXPECT_EQ(run[clearanceA].targetX, 0.0);
  EXPECT_EQ(run[clearanceAPrime].targetX, 0.0);
  EXPECT_TRUE(run.warned("outside the stern contour"));
}

TEST(Clearances, HeightAboveTheContourMeasuresToXZeroWithAWarning) {
  DesignData design = sampleDesign();
  setContour(design, {{0.2, 1.2, 1}, {1.0, 1.3, 1}, {2.0, 1.35, 1}, {3.0, 1.4, 1}});
  const Analysis run(design);
  // Edge 2 at 0.7R lies at about z = 4.4, above the last contour point.
  EXPECT_EQ(run[clearanceA].targetX, 0.0);
  EXPECT_EQ(run[clearanceA].length, std::abs(run[clearanceA].bladeX));
  EXPECT_TRUE(run.warned("outside the stern contour"));
}

TEST(Clearances, ContourNotReachingTheTipGivesUpAndMeasuresToHeightZero) {
  DesignData design = sampleDesign();
  setContour(design, {{0.2, 1.2, 1}, {2.0, 1.3, 1}, {4.0, 1.4, 1}, {6.6, 1.5, 1}});
  const Analysis run(design);
  EXPECT_EQ(run[clearanceB].targetZ, 0.0);
  EXPECT_EQ(run[clearanceB].length, std::abs(run[clearanceB].bladeZ));
  EXPECT_TRUE(run.warned("does not reach the blade tip"));
}

TEST(Clearances, BreakPointsDoNotChangeTheHullQueries) {
  DesignData smooth = sampleDesign();
  DesignData broken = sampleDesign();
  broken.contourCode[sternContourRow][5] = 0;
  const Analysis a(smooth), b(broken);
  EXPECT_EQ(a[clearanceA].length, b[clearanceA].length);
  EXPECT_EQ(a[clearanceB].length, b[clearanceB].length);
  EXPECT_EQ(a[clearanceAPrime].length, b[clearanceAPrime].length);
}

TEST(Plausibility, WarnsAboutMeaninglessPropellerDataAndFallingHeights) {
  DesignData design = sampleDesign();
  Diagnostics quiet;
  checkDesignPlausibility(design, quiet);
  EXPECT_TRUE(quiet.warnings.empty());

  design.propellerDiameter = -4.6;
  design.contourZ[sternContourRow][3] = design.contourZ[sternContourRow][2];
  Diagnostics noisy;
  checkDesignPlausibility(design, noisy);
  ASSERT_EQ(noisy.warnings.size(), 3u);
  EXPECT_NE(noisy.warnings[0].find("negative"), std::string::npos);
  EXPECT_NE(noisy.warnings[1].find("hub diameter"), std::string::npos);
  EXPECT_NE(noisy.warnings[2].find("point 2 to point 3"), std::string::npos);
}

TEST(Clearances, NegativeDiameterFindsNoSevenTenthsPoint) {
  DesignData design = sampleDesign();
  design.propellerDiameter = -4.6;
  const Analysis run(design);
  EXPECT_EQ(run[clearanceA].bladeX, 0.0);
  EXPECT_EQ(run[clearanceA].bladeZ, 0.0);
  EXPECT_EQ(run[clearanceC].bladeX, 0.0);
}

}  // namespace
}  // namespace propclear
