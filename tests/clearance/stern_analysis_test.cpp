#include "clearance/stern_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "clearance/design_validity.h"
#include "clearance/measuring_operations.h"
#include "common/run_error.h"
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
  SternAnalysis analysis;

  explicit Analysis(const DesignData& d) : design(d), analysis(analyseStern(design)) {}

  const ClearanceSegment& operator[](ClearanceIndex i) const { return analysis.clearances[i]; }

  bool warned(const std::string& part) const {
    for (const Warning& w : analysis.warnings)
      if (w.text.find(part) != std::string::npos) return true;
    return false;
  }
};

TEST(Clearances, SixRecordsInOrderWithTheirShapes) {
  const Analysis run(sampleDesign());
  const char* names[] = {"a", "b", "c", "a'", "b'", "c'"};
  for (int i = 0; i < clearanceCount; ++i) {
    const ClearanceSegment& s = run[static_cast<ClearanceIndex>(i)];
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
  // The raked blade's only warning: the report's a' and c' follow the mirrored blade.
  ASSERT_EQ(run.analysis.warnings.size(), 1u);
  EXPECT_EQ(run.analysis.warnings[0].kind, WarningKind::LegacyLowerBlade);
  EXPECT_TRUE(run.warned("of the mirrored lower blade"));
}

TEST(Clearances, BladeEndsAreTheStationSixEdgePoints) {
  const Analysis run(sampleDesign());
  const BladeOutline& b = run.analysis.outline;
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

TEST(Clearances, LowerTipIsMeasuredToTheFirstPointsHeightEvenBelowIt) {
  DesignData design = sampleDesign();
  // A later point lower than the first does not move the heel height.
  design.contourZ[sternContourRow][2] = design.contourZ[sternContourRow][1] - 0.1;
  const Analysis run(design);
  EXPECT_EQ(run[clearanceBPrime].targetZ, design.contourZ[sternContourRow][1]);
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

TEST(Validity, NamesEveryValueThatMakesTheDesignMeaningless) {
  EXPECT_TRUE(designValidityProblems(sampleDesign()).empty());

  DesignData design = sampleDesign();
  design.propellerDiameter = -4.6;
  design.contourZ[sternContourRow][3] = design.contourZ[sternContourRow][2];
  const std::vector<std::string> problems = designValidityProblems(design);
  ASSERT_EQ(problems.size(), 3u);
  EXPECT_NE(problems[0].find("negative"), std::string::npos);
  EXPECT_NE(problems[1].find("hub diameter"), std::string::npos);
  EXPECT_NE(problems[2].find("point 2 to point 3"), std::string::npos);

  // Each on its own, at its edge: a hub as large as the propeller, ratios of
  // 0, a rake of 45 degrees either way, a contour ending below the upper tip.
  const auto problemsWith = [](auto edit) {
    DesignData edited = sampleDesign();
    edit(edited);
    return designValidityProblems(edited);
  };
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {problemsWith([](DesignData& d) { d.hubDiameter = d.propellerDiameter; }), "not smaller than the propeller diameter"},
      {problemsWith([](DesignData& d) { d.pitchRatio = 0.0; }), "P/D = 0 is not positive"},
      {problemsWith([](DesignData& d) { d.areaRatio = -2.08; }), "Ear = -2.08 is not positive"},
      {problemsWith([](DesignData& d) { d.rakeAngle = 45.0; }), "rake = 45 degrees"},
      {problemsWith([](DesignData& d) { d.rakeAngle = -45.0; }), "rake = -45 degrees"},
      {problemsWith([](DesignData& d) { d.propellerCentreZ = 20.0; }), "lies below the upper blade tip"},
  };
  for (const auto& [found, expected] : cases) {
    ASSERT_EQ(found.size(), 1u) << expected;
    EXPECT_NE(found[0].find(expected), std::string::npos) << found[0];
  }
  DesignData justValid = sampleDesign();
  justValid.rakeAngle = 44.99;
  EXPECT_TRUE(designValidityProblems(justValid).empty());

  // The analysis warns with the same texts, as invalid-design warnings.
  const SternAnalysis analysis = analyseStern(design);
  EXPECT_EQ(analysis.validityProblems, problems);
  for (std::size_t k = 0; k < problems.size(); ++k) {
    EXPECT_EQ(analysis.warnings[k].text, problems[k]);
    EXPECT_EQ(analysis.warnings[k].kind, WarningKind::InvalidDesign);
  }
}

TEST(SternAnalysis, ContourWithoutExtentCannotBeDrawn) {
  DesignData design = sampleDesign();
  setContour(design, {{0, 0, 1}, {0, 0, 1}});
  try {
    analyseStern(design);
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_NE(std::string(error.what()).find("no extent"), std::string::npos);
  }
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
