// What the clearance report takes from a run: its title, the mark each
// clearance is drawn with, and the signed gaps shown without a ship file.

#include "report/clearance_report_content.h"

#include <gtest/gtest.h>

#include "rules/custom_minima.h"
#include "rules/lr_recommended.h"
#include "sample_design.h"
#include "sample_ship.h"

namespace propclear {
namespace {

using Unit = ClearanceMinimum::Unit;

// The sample stern with the turning blade's a' measured against a stand-in
// target and c overlapping the rudder by 5 cm.
struct MarkedRun {
  DesignData design = test::sampleDesign();
  SternAnalysis analysis = analyseStern(design);

  MarkedRun() {
    analysis.turningLowerBlade.aPrime.signedGap.reset();
    analysis.signedGaps[clearanceC] = -0.05;
  }

  RuleCheck checkAgainst(const ShipParticulars& ship) const {
    return checkClearanceRules(ship, design.propellerDiameter, measuredClearancesOf(analysis));
  }
  // The run judged, with the rule check when there is one.
  Assessment judged(const RuleCheck* check) const {
    return judgeAnalysis(analysis, design.propellerDiameter,
                         check != nullptr ? std::optional(*check) : std::nullopt);
  }
  ClearanceReportContent content(const Assessment& assessment) const {
    return {design, assessment, "ships/hull12.TSK"};
  }
};

TEST(ClearanceReportContent, TitleIsTheShipsNameElseTheDesignFilesName) {
  const MarkedRun run;
  EXPECT_EQ(clearanceReportTitle(run.content(run.judged(nullptr))), "hull12.TSK");
  ShipParticulars ship = test::lrShip(60.0, 0.60, 1000.0, 4, 0.30);
  const RuleCheck unnamed = run.checkAgainst(ship);
  EXPECT_EQ(clearanceReportTitle(run.content(run.judged(&unnamed))), "hull12.TSK");
  ship.name = "MV Test";
  const RuleCheck named = run.checkAgainst(ship);
  EXPECT_EQ(clearanceReportTitle(run.content(run.judged(&named))), "MV Test");
}

// Without rules only the signed gaps speak; with them each clearance takes
// the worst of its lines, an informative shortfall ranking below a binding one.
TEST(ClearanceReportContent, EachClearanceIsMarkedWithItsWorstFinding) {
  const MarkedRun run;
  const Assessment plain = run.judged(nullptr);
  const ClearanceReportContent unchecked = run.content(plain);
  EXPECT_EQ(clearanceMarkOf(unchecked, clearanceA), ClearanceMark::Clear);
  EXPECT_EQ(clearanceMarkOf(unchecked, clearanceC), ClearanceMark::Overlap);
  EXPECT_EQ(clearanceMarkOf(unchecked, clearanceAPrime), ClearanceMark::NotMeasured);

  const double a = run.analysis.clearances[clearanceA].length;
  const double cPrime = run.analysis.turningLowerBlade.cPrime.segment.length;
  ShipParticulars ship;
  ship.ruleSets = {customName, lrRecommendedName};
  ship.ruleLengthMetres = 60.0;
  ship.blockCoefficient = 0.60;
  ship.shaftPowerKilowatts = 1000.0;
  ship.bladeCount = 4;
  // The custom table asks a little more than a and c' measure; c' is only
  // informative under LR, whose minimum (0.12 D) the sample clears.
  ship.rudderThicknessMetres = 0.30;
  ship.customMinima = {{clearanceA, a + 0.01, Unit::Metres, "a"},
                       {clearanceCPrime, cPrime + 0.01, Unit::Metres, "c'"}};
  const RuleCheck check = run.checkAgainst(ship);
  const Assessment judged = run.judged(&check);
  const ClearanceReportContent checked = run.content(judged);
  EXPECT_EQ(clearanceMarkOf(checked, clearanceA), ClearanceMark::BelowMinimum);
  EXPECT_EQ(clearanceMarkOf(checked, clearanceCPrime), ClearanceMark::BelowMinimum);
  EXPECT_EQ(clearanceMarkOf(checked, clearanceC), ClearanceMark::Overlap);
  EXPECT_EQ(clearanceMarkOf(checked, clearanceAPrime), ClearanceMark::NotMeasured);

  ship.customMinima.clear();
  ship.ruleSets = {lrRecommendedName};
  ship.rudderThicknessMetres = cPrime + 0.01;  // LR c' (informative) now asks for more
  const RuleCheck informative = run.checkAgainst(ship);
  const Assessment judgedInformative = run.judged(&informative);
  EXPECT_EQ(clearanceMarkOf(run.content(judgedInformative), clearanceCPrime),
            ClearanceMark::BelowInformative);
}

// The lower blade's a' and c' are the turning blade's, as the rules judge them.
TEST(ClearanceReportContent, SignedGapTableShowsOverlapsStandInsAndTheTurningBlade) {
  MarkedRun run;
  run.analysis.turningLowerBlade.cPrime.signedGap = 0.5;
  run.analysis.turningLowerBlade.cPrime.segment.length = 0.5;
  run.analysis.signedGaps[clearanceCPrime] = 0.7;
  run.analysis.clearances[clearanceCPrime].length = 0.7;
  const Assessment judged = run.judged(nullptr);
  const SignedGapTable table = signedGapTable(run.content(judged));
  EXPECT_EQ(table.rows[clearanceCPrime][1], "0.500");
  EXPECT_EQ(table.rows[clearanceCPrime][3], "0.500");
  ASSERT_EQ(table.rows.size(), 6u);
  EXPECT_EQ(table.header.size(), table.rows[0].size());
  EXPECT_EQ(table.rows[clearanceC][3], "-0.050");
  EXPECT_EQ(table.rows[clearanceC][5], "overlap");
  EXPECT_EQ(table.rows[clearanceAPrime][0], "a'");
  EXPECT_EQ(table.rows[clearanceAPrime][3], "-");
  EXPECT_EQ(table.rows[clearanceAPrime][5], "not measured (stand-in target)");
  EXPECT_EQ(table.rows[clearanceA][5], "clear");

  // The mirrored blade's figures only in the legacy annex, named so.
  const SignedGapTable legacy = legacyClearanceTable(run.content(judged));
  ASSERT_EQ(legacy.rows.size(), 2u);
  EXPECT_EQ(legacy.rows[1][0], "legacy c' (mirrored)");
  EXPECT_EQ(legacy.rows[1][1], "0.700");
}

}  // namespace
}  // namespace propclear
