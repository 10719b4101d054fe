// The judged result: which blade each clearance is measured on, the legacy
// figures beside them, the clashes and the one overall status in its fixed
// precedence, and the one way to find the ship file.

#include "assessment/assessment.h"

#include <gtest/gtest.h>

#include "assessment/ship_file_choice.h"
#include "common/run_error.h"
#include "design/read_design_data.h"
#include "rules/read_ship_particulars.h"
#include "sheet/clash_hatch.h"
#include "test_support.h"

namespace propclear {
namespace {

DesignData exampleDesign() { return readDesignData(test::examplesDir() / "Norvalek.TSK").design; }

ShipParticulars exampleShip() {
  return readShipParticulars(test::examplesDir() / "Norvalek.ship.toml");
}

Assessment assessWith(const DesignData& design, const ShipParticulars* ship) {
  return assess(design, AssessmentInputs{ship});
}

TEST(Assessment, ExampleMeasuresAPrimeAndCPrimeOnTheTurningBladeAndKeepsTheMirroredAsLegacy) {
  const ShipParticulars ship = exampleShip();
  const Assessment assessment = assessWith(exampleDesign(), &ship);
  const AssessedClearance& aPrime = assessment.clearance(clearanceAPrime);
  EXPECT_EQ(aPrime.blade, MeasuredBlade::LowerTurning);
  EXPECT_NEAR(*aPrime.signedGap, 1.728, 5e-4);
  EXPECT_NEAR(*assessment.clearance(clearanceCPrime).signedGap, 1.658, 5e-4);
  EXPECT_EQ(assessment.clearance(clearanceA).blade, MeasuredBlade::Upper);
  EXPECT_EQ(assessment.clearanceNamed("c'"), &assessment.clearance(clearanceCPrime));
  EXPECT_EQ(assessment.clearanceNamed("tip-to-base-line"), nullptr);

  EXPECT_EQ(assessment.legacyLowerBlade[0].name, "a'");
  EXPECT_NEAR(assessment.legacyLowerBlade[0].segment.length, 1.194, 5e-4);
  EXPECT_NEAR(assessment.legacyLowerBlade[1].segment.length, 2.204, 5e-4);
  // The report's records keep the mirrored figures.
  EXPECT_EQ(legacyReportRecords(assessment)[clearanceAPrime].length,
            assessment.legacyLowerBlade[0].segment.length);

  // Each rule line on a, b, c, a', b', c' is filed under the clearance it
  // judges, and a' is judged on the turning blade; the lines on the
  // base line and the shortest tip distance stand in the rule check alone.
  ASSERT_TRUE(assessment.rules);
  std::size_t filed = 0, further = 0;
  for (const RuleLine& line : assessment.rules->lines) further += line.clearance >= clearanceCount;
  for (const AssessedClearance& clearance : assessment.clearances) {
    for (std::size_t index : clearance.ruleLines) {
      EXPECT_EQ(clearanceNames[static_cast<std::size_t>(assessment.rules->lines[index].clearance)],
                clearance.name);
      ++filed;
    }
  }
  EXPECT_EQ(filed + further, assessment.rules->lines.size());
  EXPECT_EQ(further, 3u);
  ASSERT_EQ(aPrime.ruleLines.size(), 1u);
  EXPECT_EQ(*assessment.rules->lines[aPrime.ruleLines[0]].measuredMetres, *aPrime.signedGap);

  EXPECT_EQ(assessment.status, AssessmentStatus::Below);
  EXPECT_STREQ(statusCode(assessment.status), "below");
  // The spade rudder has no heel under the disc: LR d does not apply.
  EXPECT_EQ(overallText(assessment), "below the recommended minimum on 2 of 3 lines");
  EXPECT_FALSE(isFeasible(assessment));
}

TEST(Assessment, StatusFollowsItsPrecedenceFromNoRulesToClash) {
  const ShipParticulars ship = exampleShip();
  DesignData design = exampleDesign();

  const Assessment plain = assessWith(design, nullptr);
  EXPECT_EQ(plain.status, AssessmentStatus::NoRules);
  EXPECT_EQ(overallText(plain), "no rules: the clearances are measured, not judged");
  EXPECT_TRUE(isFeasible(plain));
  ShipParticulars noRuleSets = ship;
  noRuleSets.ruleSets.clear();
  EXPECT_FALSE(assessWith(design, &noRuleSets).rules.has_value());

  design.propellerDiameter = 3.5;  // below the largest diameter the rules allow (3.757 m)
  const Assessment small = assessWith(design, &ship);
  EXPECT_EQ(small.status, AssessmentStatus::Meets);
  EXPECT_TRUE(isFeasible(small));
  for (const AssessedClearance& clearance : small.clearances) {
    // A clearance judged by informative lines only has no deciding rule.
    bool deciding = false;
    for (std::size_t index : clearance.ruleLines) {
      deciding = deciding || !small.rules->lines[index].informative;
    }
    EXPECT_EQ(clearance.status, deciding ? AssessmentStatus::Meets : AssessmentStatus::NoRules)
        << clearance.name;
  }

  // A stern frame moved into the propeller: the clash outranks the rules' shortfall.
  design = exampleDesign();
  design.propellerCentreX = 2.4;
  const Assessment clash = assessWith(design, &ship);
  EXPECT_EQ(clash.status, AssessmentStatus::Clash);
  EXPECT_EQ(clash.rules->overall, OverallVerdict::BelowMinimum);
  ASSERT_FALSE(clash.clashes.empty());
  EXPECT_EQ(clash.clashes.front().cutter, Clash::Cutter::Blade);
  EXPECT_EQ(clash.clashes.front().structure, "stern frame");
  EXPECT_EQ(clash.clearance(clearanceA).status, AssessmentStatus::Clash);
  EXPECT_EQ(overallText(clash).rfind("CLASH \u2014 the blade cuts the stern frame by ", 0), 0u)
      << overallText(clash);
  EXPECT_FALSE(isFeasible(clash));
}

// A rudder whose foot leans far forward: the mirrored blade stays clear of
// it, the turning blade and its swept volume cut into it.
TEST(Assessment, ClashOfTheTurningBladeIsTheHeadlineTheMirroredBladeWouldHide) {
  DesignData design = exampleDesign();
  design.rudderX[4] = 4.1;
  const Assessment assessment = assessWith(design, nullptr);
  EXPECT_GT(*assessment.legacyLowerBlade[1].signedGap, 0.0);
  EXPECT_EQ(assessment.status, AssessmentStatus::Clash);
  ASSERT_EQ(assessment.clashes.size(), 2u);
  EXPECT_EQ(clashText(assessment.clashes[0]), "the blade cuts the rudder by 0.125 m");
  EXPECT_EQ(assessment.clashes[0].clearance, "c'");
  EXPECT_EQ(clashText(assessment.clashes[1]), "the swept volume cuts the rudder by 0.206 m");
  EXPECT_EQ(overallText(assessment), "CLASH \u2014 the blade cuts the rudder by 0.125 m (1 more clash)");
}

// The hatching of a clash reaches as deep into the structure as the clash:
// across for the blade's 0.7R in the stern frame and for the blade and the
// swept volume in the rudder, downwards for the tip below the heel; in the
// rudder it stays aft of the leading edge's foot; a design without a clash
// has none.
TEST(Assessment, ClashRegionHatchesTheDepthOfEachClash) {
  EXPECT_TRUE(assessWith(exampleDesign(), nullptr).clashes.empty());
  const auto extent = [](const Clash& clash, bool alongX) {
    const std::vector<DrawingLine> hatch = clashHatch(clash.region, 0.002);
    double low = 1e9, high = -1e9;
    for (const DrawingLine& line : hatch) {
      for (const DrawingPoint& end : {line.from, line.to}) {
        low = std::min(low, alongX ? end.x : end.z);
        high = std::max(high, alongX ? end.x : end.z);
      }
    }
    return hatch.empty() ? 0.0 : high - low;
  };
  DesignData frame = exampleDesign();
  frame.propellerCentreX = 2.4;
  const Assessment frameCut = assessWith(frame, nullptr);
  const auto frameA = std::find_if(frameCut.clashes.begin(), frameCut.clashes.end(),
                                   [](const Clash& clash) { return clash.clearance == "a"; });
  ASSERT_NE(frameA, frameCut.clashes.end());
  EXPECT_GE(extent(*frameA, true), frameA->depthMetres - 0.005);

  DesignData heel = exampleDesign();
  heel.propellerDiameter = 5.5;
  const Clash heelClash = assessWith(heel, nullptr).clashes.front();
  ASSERT_EQ(heelClash.structure, "heel");
  EXPECT_NEAR(extent(heelClash, false), heelClash.depthMetres, 0.005);

  DesignData rudder = exampleDesign();
  rudder.rudderX[4] = 4.1;
  const Assessment rudderCut = assessWith(rudder, nullptr);
  for (const Clash& clash : rudderCut.clashes) {
    EXPECT_GE(extent(clash, true), clash.depthMetres - 0.005) << clashText(clash);
    for (const DrawingLine& line : clashHatch(clash.region, 0.01)) {
      // Aft of the rudder's leading edge, which runs from x 6.25 up top to 4.1 at its foot.
      EXPECT_GE(std::min(line.from.x, line.to.x), 4.1 - 1e-9);
    }
  }
}

TEST(Assessment, DiameterThatIsNotPositiveCannotBeJudged) {
  const ShipParticulars ship = exampleShip();
  DesignData design = exampleDesign();
  design.propellerDiameter = 0.0;
  EXPECT_THROW(assessWith(design, &ship), RunError);
}

TEST(ShipFileChoice, ShipOptionOverTheFileBesideAndRulesNoneReadsNoFile) {
  const test::ScratchDir dir;
  const std::filesystem::path design = dir / "Hull.TSK";
  EXPECT_FALSE(shipParticularsFor(design, {}).has_value());
  // Only the command line: its settings alone.
  const ShipChoice onlyOverrides{std::nullopt, ShipOverrides{"tip-guidance", {"skew=none"}}};
  EXPECT_EQ(shipParticularsFor(design, onlyOverrides)->ruleSets,
            std::vector<std::string>{"tip-guidance"});

  test::writeFile(dir / "Hull.ship.toml", test::readFile(test::examplesDir() / "Norvalek.ship.toml"));
  EXPECT_EQ(shipParticularsFor(design, {})->name, "MV Norvalek");
  test::writeFile(dir / "other.toml", "name = \"MV Other\"\nskew = \"none\"\nrule_sets = [\"tip-guidance\"]\n");
  EXPECT_EQ(shipParticularsFor(design, {dir / "other.toml", {}})->name, "MV Other");

  test::writeFile(dir / "Hull.ship.toml", "power = -1\n");
  EXPECT_THROW(shipParticularsFor(design, {}), RunError);
  EXPECT_FALSE(shipParticularsFor(design, {std::nullopt, ShipOverrides{"none", {}}}).has_value());
}

}  // namespace
}  // namespace propclear
