// The rule sets' required minima, against values worked out by hand from the
// published formula and table (not from the code), and the mapping of the
// source's letters onto a, b, c, a', b', c'.

#include <gtest/gtest.h>

#include <string>

#include "clearance/clearance_segment.h"
#include "rules/custom_minima.h"
#include "rules/lr_recommended.h"
#include "rules/tip_guidance.h"
#include "sample_ship.h"

namespace propclear {
namespace {

using test::lrShip;

// Hand values are given to the digits the worked examples carry.
constexpr double kFactorTolerance = 5e-5;  // K to 4 decimals
constexpr double kMetreTolerance = 5e-4;   // required values to the millimetre

// One ship of the worked examples: its particulars, D, and the hand-computed
// K and LR a, b, c, d.
struct WorkedShip {
  std::string name;
  ShipParticulars ship;
  double diameter;
  double factorK;
  double lrA, lrB, lrC, lrD;
  std::string basisA, basisB, basisC;
};

class LrRecommendedWorkedShip : public testing::TestWithParam<WorkedShip> {};

// a = LR b, b = LR a, c = LR c, a' = LR b (informative), b' = LR d,
// c' = LR c (informative).
TEST_P(LrRecommendedWorkedShip, GivesHandComputedKAndMinimaOnTheMappedClearances) {
  const WorkedShip& worked = GetParam();
  const RuleSetRequirements set = lrRecommendedRequirements(worked.ship, worked.diameter);
  ASSERT_TRUE(set.summary.factorK.has_value());
  EXPECT_NEAR(*set.summary.factorK, worked.factorK, kFactorTolerance);
  ASSERT_EQ(set.requirements.size(), 6u);

  struct Expected {
    int clearance;
    const char* letter;
    double metres;
    bool informative;
  };
  const Expected expected[] = {
      {clearanceA, "LR b", worked.lrB, false},     {clearanceB, "LR a", worked.lrA, false},
      {clearanceC, "LR c", worked.lrC, false},     {clearanceAPrime, "LR b", worked.lrB, true},
      {clearanceBPrime, "LR d", worked.lrD, false}, {clearanceCPrime, "LR c", worked.lrC, true},
  };
  for (std::size_t i = 0; i < 6; ++i) {
    const ClearanceRequirement& got = set.requirements[i];
    SCOPED_TRACE("requirement " + std::to_string(i));
    EXPECT_EQ(got.clearance, expected[i].clearance);
    EXPECT_EQ(got.sourceLetter, expected[i].letter);
    EXPECT_NEAR(got.requiredMetres, expected[i].metres, kMetreTolerance);
    EXPECT_EQ(got.informative, expected[i].informative);
  }
  EXPECT_EQ(set.requirements[1].basis, worked.basisA);
  EXPECT_EQ(set.requirements[0].basis, worked.basisB);
  EXPECT_EQ(set.requirements[2].basis, worked.basisC);
}

// K = (0.1 + L/3050)(3.48 Cb P / L^2 + 0.3); required = max(formula, minimum).
INSTANTIATE_TEST_SUITE_P(
    HandComputed, LrRecommendedWorkedShip,
    testing::Values(
        // 0.149180 x 1.382667; tR governs c (0.12 x 6.0 = 0.720 < 0.90).
        WorkedShip{"L150_formulaGoverns_tRGovernsC", lrShip(150.0, 0.70, 10000.0, 4, 0.90), 6.0,
                   0.2063, 1.238, 1.856, 0.900, 0.180, "1.00*K*D", "1.50*K*D", "tR minimum"},
        // 0.119672 x 0.88; a = 0.2106 just above 0.10 D = 0.200.
        WorkedShip{"L60_formulaJustAboveMinimum", lrShip(60.0, 0.60, 1000.0, 4, 0.30), 2.0,
                   0.1053, 0.211, 0.316, 0.300, 0.060, "1.00*K*D", "1.50*K*D", "tR minimum"},
        // 0.113115 x 0.62625; K D = 0.085 < 0.10 D: the minima govern a and b;
        // 0.12 D = 0.144 > tR = 0.10 governs c.
        WorkedShip{"L40_minimaGovern", lrShip(40.0, 0.50, 300.0, 4, 0.10), 1.2, 0.0708, 0.120,
                   0.180, 0.144, 0.036, "0.10*D minimum", "0.15*D minimum", "0.12*D"},
        // The first ship with three and six blades: the Z rows of the table.
        WorkedShip{"L150_threeBlades", lrShip(150.0, 0.70, 10000.0, 3, 0.90), 6.0, 0.2063, 1.485,
                   2.228, 0.900, 0.180, "1.20*K*D", "1.80*K*D", "tR minimum"},
        WorkedShip{"L150_sixBlades", lrShip(150.0, 0.70, 10000.0, 6, 0.90), 6.0, 0.2063, 0.928,
                   1.392, 0.900, 0.180, "0.75*K*D", "1.125*K*D", "tR minimum"},
        // The example's particulars with five blades: 0.138689 x 1.469664,
        // K D = 0.937597. The example's a = 1.113 m lies below LR b = 1.195
        // (the six-bladed factor would ask only 1.055); 0.12 D = 0.552 just
        // above tR = 0.55 governs c.
        WorkedShip{"L118_fiveBlades", lrShip(118.0, 0.72, 6500.0, 5, 0.55), 4.6, 0.2038, 0.797,
                   1.195, 0.552, 0.138, "0.85*K*D", "1.275*K*D", "0.12*D"}),
    [](const testing::TestParamInfo<WorkedShip>& info) { return info.param.name; });

TEST(TipGuidance, AsksTwentyPercentOfDWithoutSkewAndFifteenWithHighSkew) {
  ShipParticulars ship;
  ship.skew = PropellerSkew::None;
  RuleSetRequirements set = tipGuidanceRequirements(ship, 4.6);
  ASSERT_EQ(set.requirements.size(), 1u);
  EXPECT_EQ(set.requirements[0].clearance, clearanceB);
  EXPECT_NEAR(set.requirements[0].requiredMetres, 0.920, 1e-12);
  EXPECT_TRUE(set.requirements[0].informative);

  ship.skew = PropellerSkew::High;
  set = tipGuidanceRequirements(ship, 4.6);
  EXPECT_NEAR(set.requirements[0].requiredMetres, 0.690, 1e-12);
}

TEST(CustomMinima, ReadsAMultipleOfDOrMetresAndNothingElse) {
  using Unit = ClearanceMinimum::Unit;
  const struct {
    const char* text;
    double value;
    Unit unit;
  } good[] = {{"0.25D", 0.25, Unit::PropellerDiameters}, {" 0.25 D ", 0.25, Unit::PropellerDiameters},
              {"1.10 m", 1.10, Unit::Metres},           {"1m", 1.0, Unit::Metres},
              {".5D", 0.5, Unit::PropellerDiameters},     {"2.\tm", 2.0, Unit::Metres}};
  for (const auto& c : good) {
    SCOPED_TRACE(c.text);
    const std::optional<MinimumText> parsed = parseMinimumText(c.text);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_DOUBLE_EQ(parsed->value, c.value);
    EXPECT_EQ(parsed->unit, c.unit);
  }
  for (const char* bad : {"", "0.25", "D", "0.25d", "0.25 mm", "1,10 m", "-0.2D", "+0.2D", "1e-1D",
                          "0.2.5D", "0.25 D m", "inf m", "0x1p-2D"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(parseMinimumText(bad).has_value());
  }
}

}  // namespace
}  // namespace propclear
