// Judging measured clearances against the rule sets: verdicts, margins,
// overlaps, clearances measured against a fallback, informative lines, and
// what --strict counts as failed.

#include "rules/check_clearance_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "common/run_error.h"
#include "rules/custom_minima.h"
#include "rules/lr_recommended.h"
#include "rules/tip_guidance.h"
#include "sample_design.h"
#include "sample_ship.h"

namespace propclear {
namespace {

using Unit = ClearanceMinimum::Unit;

// The designer's minima a >= 1.00 m and b' >= 0.10 D, D = 4 m.
ShipParticulars customShip() {
  ShipParticulars ship;
  ship.sourceName = "Test.ship.toml";
  ship.name = "MV Test";
  ship.ruleSets = {customName};
  ship.customMinima = {{clearanceA, 1.00, Unit::Metres, "1.00 m"},
                       {clearanceBPrime, 0.10, Unit::PropellerDiameters, "0.10D"}};
  return ship;
}

TEST(CheckClearanceRules, GivesMarginsInMetresAndPercentOfTheRequiredValue) {
  const RuleCheck check = checkClearanceRules(customShip(), 4.0, test::signedGaps(1.25, 9, 9, 9, 0.30, 9));
  ASSERT_EQ(check.lines.size(), 2u);
  const RuleLine& a = check.lines[0];
  EXPECT_EQ(a.clearance, clearanceA);
  EXPECT_EQ(a.verdict, RuleVerdict::Meets);
  EXPECT_DOUBLE_EQ(*a.measuredMetres, 1.25);
  EXPECT_DOUBLE_EQ(*a.measuredPerDiameter, 0.3125);
  EXPECT_DOUBLE_EQ(*a.marginMetres, 0.25);
  EXPECT_DOUBLE_EQ(*a.marginPercent, 25.0);
  const RuleLine& bPrime = check.lines[1];
  EXPECT_DOUBLE_EQ(bPrime.requiredMetres, 0.40);
  EXPECT_DOUBLE_EQ(bPrime.requiredPerDiameter, 0.10);
  EXPECT_EQ(bPrime.verdict, RuleVerdict::BelowMinimum);
  EXPECT_NEAR(*bPrime.marginPercent, -25.0, 1e-12);
  EXPECT_EQ(check.overall, OverallVerdict::BelowMinimum);
  EXPECT_EQ(overallVerdictText(check), "below the recommended minimum on 1 of 2 lines");
  EXPECT_TRUE(failsStrictCheck(check));
}

TEST(CheckClearanceRules, AGapEqualToTheMinimumMeetsIt) {
  const RuleCheck check = checkClearanceRules(customShip(), 4.0, test::signedGaps(1.0, 9, 9, 9, 0.4, 9));
  EXPECT_EQ(check.lines[0].verdict, RuleVerdict::Meets);
  EXPECT_EQ(check.lines[0].marginMetres, 0.0);
  EXPECT_EQ(check.overall, OverallVerdict::Meets);
  EXPECT_EQ(overallVerdictText(check), "meets every recommended minimum (2 lines)");
  EXPECT_FALSE(failsStrictCheck(check));
}

TEST(CheckClearanceRules, AnOverlapFailsEveryRuleOnItsClearance) {
  ShipParticulars ship = customShip();
  ship.ruleSets = {customName, tipGuidanceName};
  ship.skew = PropellerSkew::None;
  ship.customMinima = {{clearanceB, 0.0001, Unit::Metres, "0.0001 m"}};
  const RuleCheck check = checkClearanceRules(ship, 4.0, test::signedGaps(9, -0.05, 9, 9, 9, 9));
  ASSERT_EQ(check.lines.size(), 2u);
  for (const RuleLine& line : check.lines) {
    EXPECT_EQ(line.verdict, RuleVerdict::BelowMinimum);
    EXPECT_TRUE(line.overlap);
    EXPECT_DOUBLE_EQ(*line.measuredMetres, -0.05);
    EXPECT_DOUBLE_EQ(line.lengthMetres, 0.05);
  }
  ASSERT_EQ(check.notes.size(), 1u);
  EXPECT_EQ(check.notes[0], "b: the blade overlaps the structure");
}

TEST(CheckClearanceRules, AClearanceWithoutSignedGapIsNotMeasuredAndFailsUnderStrict) {
  // b' of the analysis was measured against a stand-in: it has no signed gap.
  ClearanceSet clearances;
  SignedGaps signedGaps;
  for (int i = 0; i < clearanceCount; ++i) {
    clearances[static_cast<std::size_t>(i)].length = 9.0;
    signedGaps[static_cast<std::size_t>(i)] = 9.0;
  }
  clearances[clearanceA].length = 2.0;
  signedGaps[clearanceA] = 2.0;
  clearances[clearanceBPrime].length = 0.5;
  signedGaps[clearanceBPrime].reset();
  const RuleCheck check =
      checkClearanceRules(customShip(), 4.0, measuredClearancesOf(clearances, signedGaps));
  EXPECT_EQ(check.lines[0].verdict, RuleVerdict::Meets);
  const RuleLine& bPrime = check.lines[1];
  EXPECT_EQ(bPrime.verdict, RuleVerdict::NotMeasured);
  EXPECT_FALSE(bPrime.measuredMetres || bPrime.marginMetres || bPrime.marginPercent);
  EXPECT_DOUBLE_EQ(bPrime.lengthMetres, 0.5);
  EXPECT_EQ(check.overall, OverallVerdict::NotJudged);
  EXPECT_EQ(overallVerdictText(check), "not judged: 1 of 2 lines not measured");
  EXPECT_TRUE(failsStrictCheck(check));
}

TEST(CheckClearanceRules, InformativeLinesAreJudgedButNeverDecideTheOverallVerdict) {
  const ShipParticulars ship = test::lrShip(150.0, 0.70, 10000.0, 4, 0.90);
  // a' and c' (informative) below LR b and LR c, the rest well clear.
  MeasuredClearances measured = test::signedGaps(2.0, 1.5, 1.0, 0.5, 0.3, 0.5);
  measured[clearanceCPrime].signedGapMetres.reset();
  const RuleCheck check = checkClearanceRules(ship, 6.0, measured);
  ASSERT_EQ(check.lines.size(), 6u);
  EXPECT_EQ(check.lines[3].verdict, RuleVerdict::BelowMinimum);
  EXPECT_TRUE(check.lines[3].informative);
  EXPECT_EQ(check.lines[5].verdict, RuleVerdict::NotMeasured);
  EXPECT_EQ(check.bindingLines, 4);
  EXPECT_EQ(check.overall, OverallVerdict::Meets);
  EXPECT_FALSE(failsStrictCheck(check));

  ShipParticulars tipOnly;
  tipOnly.skew = PropellerSkew::High;
  tipOnly.ruleSets = {tipGuidanceName};
  const RuleCheck informative = checkClearanceRules(tipOnly, 4.0, test::signedGaps(9, 0.1, 9, 9, 9, 9));
  EXPECT_EQ(informative.lines[0].verdict, RuleVerdict::BelowMinimum);
  EXPECT_EQ(informative.overall, OverallVerdict::InformativeOnly);
  EXPECT_FALSE(failsStrictCheck(informative));
}

TEST(CheckClearanceRules, SaysSoWhenTheMinimaAreForAnotherBladeCountThanTheOutline) {
  ShipParticulars ship = customShip();
  ship.bladeCount = 5;
  const RuleCheck check = checkClearanceRules(ship, 4.0, test::signedGaps(9, 9, 9, 9, 9, 9));
  ASSERT_EQ(check.notes.size(), 1u);
  EXPECT_NE(check.notes[0].find("Z = 5"), std::string::npos);
  EXPECT_NE(check.notes[0].find("four-bladed"), std::string::npos);
}

TEST(CheckClearanceRules, RefusesADiameterThatScalesNothingAndNeverPassesOnNonFiniteValues) {
  for (const double d : {0.0, -4.6, std::numeric_limits<double>::quiet_NaN()}) {
    try {
      checkClearanceRules(customShip(), d, test::signedGaps(9, 9, 9, 9, 9, 9));
      ADD_FAILURE() << "no error for D = " << d;
    } catch (const RunError& error) {
      EXPECT_EQ(error.kind(), ErrorKind::Input);
      EXPECT_NE(std::string(error.what()).find("propeller diameter D = "), std::string::npos);
    }
  }
  MeasuredClearances measured = test::signedGaps(9, 9, 9, 9, 9, 9);
  measured[clearanceA].signedGapMetres = std::numeric_limits<double>::infinity();
  try {
    checkClearanceRules(customShip(), 4.0, measured);
    ADD_FAILURE() << "no error for an infinite gap";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::Arithmetic);
  }
}

// A study works the ship's rule sets out once and checks every design with
// them: each check scales the minima by its own D, keeps the sets it shows
// alive on its own, and meets a set that cannot be worked out as a check of
// its own would, after the diameter's own fault.
TEST(CheckClearanceRules, RuleSetsWorkedOutOnceJudgeEachDiameterAndKeepTheirFaults) {
  std::shared_ptr<const ShipRuleSets> prepared = prepareShipRuleSets(customShip());
  const MeasuredClearances measured = test::signedGaps(1.25, 9, 9, 9, 0.45, 9);
  const RuleCheck atFour = checkClearanceRules(prepared, 4.0, measured);
  const RuleCheck atFive = checkClearanceRules(prepared, 5.0, measured);
  prepared.reset();
  EXPECT_DOUBLE_EQ(atFour.lines[1].requiredMetres, 0.40);
  EXPECT_EQ(atFour.lines[1].verdict, RuleVerdict::Meets);
  EXPECT_DOUBLE_EQ(atFive.lines[1].requiredMetres, 0.50);
  EXPECT_EQ(atFive.lines[1].verdict, RuleVerdict::BelowMinimum);
  ASSERT_EQ(atFive.ruleSets.size(), 1u);
  const std::vector<RuleInput> inputs = inputsWithDiameter(*atFive.ruleSets[0], 5.0);
  ASSERT_EQ(inputs.size(), 3u);
  EXPECT_EQ(inputs[0].key, "propeller_diameter");
  EXPECT_EQ(std::get<double>(inputs[0].value), 5.0);
  EXPECT_EQ(inputs[2].key, "custom_minima.b'");

  ShipParticulars unknown = customShip();
  unknown.ruleSets.push_back("yard-standard");
  const std::shared_ptr<const ShipRuleSets> faulty = prepareShipRuleSets(unknown);
  for (const double d : {4.0, 5.0, 0.0}) {
    try {
      checkClearanceRules(faulty, d, measured);
      ADD_FAILURE() << "no error for D = " << d;
    } catch (const RunError& error) {
      const std::string expected = d > 0.0 ? "unknown rule set \"yard-standard\"" : "D = 0";
      EXPECT_NE(std::string(error.what()).find(expected), std::string::npos) << error.what();
    }
  }
}

}  // namespace
}  // namespace propclear

namespace propclear {
namespace {

TEST(MeasuredClearances, JudgeTheLowerBladeAsThePropellerTurnsIt) {
  const SternAnalysis analysis = analyseStern(test::sampleDesign());
  const MeasuredClearances measured = measuredClearancesOf(analysis);
  EXPECT_EQ(measured[clearanceA].signedGapMetres, analysis.signedGaps[clearanceA]);
  EXPECT_EQ(measured[clearanceBPrime].lengthMetres, analysis.clearances[clearanceBPrime].length);
  EXPECT_EQ(measured[clearanceAPrime].signedGapMetres, analysis.turningLowerBlade.aPrime.signedGap);
  EXPECT_EQ(measured[clearanceCPrime].lengthMetres,
            analysis.turningLowerBlade.cPrime.segment.length);
  // With rake the two conventions differ: the turning blade is what is judged.
  EXPECT_NE(measured[clearanceCPrime].lengthMetres, analysis.clearances[clearanceCPrime].length);
}

}  // namespace
}  // namespace propclear
