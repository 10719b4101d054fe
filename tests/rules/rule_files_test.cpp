// Rule files: a yard's own set with a blade-number table and minima gives the
// values worked out by hand; every kind of bad rule file names the file, the
// line, the key, its value and the rule broken; the ship file's rudder
// decides whether a heel line applies, and its heel is what b' is judged to.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "common/run_error.h"
#include "geometry/evaluate_curve.h"
#include "rules/check_clearance_rules.h"
#include "rules/read_rule_file.h"
#include "rules/read_ship_particulars.h"
#include "rules/rule_set_requirements.h"
#include "sample_design.h"
#include "sample_ship.h"
#include "support/test_support.h"

namespace propclear {
namespace {

constexpr double kRuleFileTolerance = 5e-4;  // hand values to the millimetre

// A yard standard: b by blade number times K·D with a minimum of 0.20 D; c as
// 0.15 D with a minimum of 0.60 m; b' only under a sole-piece rudder.
constexpr const char* kYardRules =
    "name = \"yard-standard\"\n"                                          // 1
    "source = \"Yard standard HS-12, table 3\"\n"                         // 2
    "factor_formula = \"lr-k\"\n"                                         // 3
    "[[line]]\n"                                                          // 4
    "clearance = \"b\"\n"                                                 // 5
    "letter = \"HS b\"\n"                                                 // 6
    "of = \"K*D\"\n"                                                      // 7
    "factor = { 4 = 1.10, 5 = 0.90 }\n"                                   // 8
    "minimum = 0.20\n"                                                    // 9
    "minimum_of = \"D\"\n"                                                // 10
    "[[line]]\n"                                                          // 11
    "clearance = \"c\"\n"                                                 // 12
    "letter = \"HS c\"\n"                                                 // 13
    "of = \"D\"\n"                                                        // 14
    "factor = 0.15\n"                                                     // 15
    "minimum = 0.60\n"                                                    // 16
    "minimum_of = \"m\"\n"                                                // 17
    "[[line]]\n"                                                          // 18
    "clearance = \"b'\"\n"                                                // 19
    "letter = \"HS heel\"\n"                                              // 20
    "of = \"m\"\n"                                                        // 21
    "factor = 0.25\n"                                                     // 22
    "rudders = [\"sole-piece\"]\n";                                       // 23

std::string replacedLine(std::string text, int line, const std::string& replacement) {
  std::size_t start = 0;
  for (int n = 1; n < line; ++n) start = text.find('\n', start) + 1;
  return text.replace(start, text.find('\n', start) - start, replacement);
}

// L 150 m, Cb 0.70, P 10000 kW: K = 0.149180 x 1.382667 = 0.206265; D = 6.0 m.
TEST(RuleFile, GivesTheHandComputedValuesByBladeNumberAndMinimum) {
  const RuleSetDefinition yard = readRuleFileText(kYardRules, "yard.toml");
  ShipParticulars ship = test::lrShip(150.0, 0.70, 10000.0, 4, 0.90);
  RuleSetRequirements set = requirementsOf(yard, ship, 6.0);
  ASSERT_EQ(set.requirements.size(), 3u);
  EXPECT_NEAR(*set.summary.factorK, 0.206265, 5e-6);
  // Z = 4: 1.10 K D = 1.361 > 0.20 D = 1.200; 0.15 D = 0.900 > 0.60 m.
  EXPECT_NEAR(set.requirements[0].requiredMetres, 1.361, kRuleFileTolerance);
  EXPECT_EQ(set.requirements[0].basis, "1.10*K*D");
  EXPECT_NEAR(set.requirements[1].requiredMetres, 0.900, kRuleFileTolerance);
  EXPECT_EQ(set.requirements[1].basis, "0.15*D");
  EXPECT_NEAR(set.requirements[2].requiredMetres, 0.250, 1e-12);
  EXPECT_FALSE(set.requirements[2].notApplicable);  // rudder not stated: applies

  // Z = 5: 0.90 K D = 1.114 < 0.20 D = 1.200; D = 3.0: 0.15 D = 0.45 < 0.60 m.
  ship.bladeCount = 5;
  set = requirementsOf(yard, ship, 6.0);
  EXPECT_NEAR(set.requirements[0].requiredMetres, 1.200, 1e-12);
  EXPECT_EQ(set.requirements[0].basis, "0.20*D minimum");
  set = requirementsOf(yard, ship, 3.0);
  EXPECT_NEAR(set.requirements[1].requiredMetres, 0.600, 1e-12);
  EXPECT_EQ(set.requirements[1].basis, "0.60 m minimum");

  ship.rudder = RudderArrangement::Spade;
  set = requirementsOf(yard, ship, 6.0);
  EXPECT_EQ(set.requirements[2].notApplicable, "spade rudder, no heel under the disc");
}

struct BadRuleFile {
  const char* name;
  int line;
  const char* replacement;
  const char* message;
};

class BadRuleFileTest : public testing::TestWithParam<BadRuleFile> {};

TEST_P(BadRuleFileTest, IsAnInputFaultNamingFileLineKeyValueAndRule) {
  const BadRuleFile& bad = GetParam();
  try {
    readRuleFileText(replacedLine(kYardRules, bad.line, bad.replacement), "yard.toml");
    FAIL() << "accepted";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::Input);
    EXPECT_EQ(std::string(error.what()), bad.message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, BadRuleFileTest,
    testing::Values(
        BadRuleFile{"UnknownClearance", 12, "clearance = \"d\"",
                    "yard.toml:12: [line] clearance = \"d\": unknown clearance; known: a, b, c, "
                    "a', b', c', tip-to-base-line, tip-to-contour, closest-contour, "
                    "closest-rudder, closest-heel"},
        BadRuleFile{"MissingFactor", 15, "# no factor",
                    "yard.toml:11: [[line]]: factor is missing"},
        BadRuleFile{"NegativeMinimum", 16, "minimum = -0.60",
                    "yard.toml:16: [line] minimum = -0.60: must not be negative"},
        BadRuleFile{"BladeNumberOutsideTheTable", 8, "factor = { 4 = 1.10, 7 = 0.70 }",
                    "yard.toml:8: [line] factor.7 = 0.70: the blade number lies outside 3 to 6"},
        BadRuleFile{"ZeroFactor", 15, "factor = 0",
                    "yard.toml:15: [line] factor = 0: must be greater than 0"},
        BadRuleFile{"WithoutFormula", 3, "# no formula",
                    "yard.toml:7: [line] of = \"K*D\": needs a factor formula: factor_formula = "
                    "\"lr-k\" at the top of the file"},
        BadRuleFile{"UnknownFormula", 3, "factor_formula = \"dnv-k\"",
                    "yard.toml:3: factor_formula = \"dnv-k\": unknown factor formula; known: "
                    "\"lr-k\""},
        BadRuleFile{"UnknownRudder", 23, "rudders = [\"pod\"]",
                    "yard.toml:23: [line] rudders = [\"pod\"]: unknown rudder arrangement \"pod\"; "
                    "must be a list of \"spade\", \"semi-spade\", \"horn\" and \"sole-piece\""},
        BadRuleFile{"UnknownLineKey", 22, "factr = 0.25",
                    "yard.toml:22: [line] factr = 0.25: unknown key; known keys: clearance, "
                    "letter, of, factor, minimum, minimum_of, rudders, skew, ship_types, "
                    "except_ship_types, qualifier, informative"},
        BadRuleFile{"MinimumOfTimesK", 10, "minimum_of = \"K*D\"",
                    "yard.toml:10: [line] minimum_of = \"K*D\": must be \"D\", \"m\" or \"tR\""},
        BadRuleFile{"ReservedName", 1, "name = \"custom\"",
                    "yard.toml:1: name = \"custom\": must be lower-case letters, digits and "
                    "hyphens, and not \"custom\""},
        BadRuleFile{"NoSource", 2, "# no source",
                    "yard.toml: source is missing: a rule file names its rule set, its source "
                    "and at least one [[line]]"}),
    [](const testing::TestParamInfo<BadRuleFile>& info) { return info.param.name; });

// A ship file that adds the yard's file and names its set.
struct YardShip {
  test::ScratchDir scratch;
  std::filesystem::path shipFile = scratch.path() / "Hull.ship.toml";

  explicit YardShip(const std::string& extra, const std::string& rules = kYardRules) {
    test::writeFile(scratch.path() / "yard.toml", rules);
    test::writeFile(shipFile, "rule_length = 150.0\nblock_coefficient = 0.70\npower = 10000.0\n"
                              "rudder_thickness = 0.9\nrule_files = [\"yard.toml\"]\n"
                              "rule_sets = [\"yard-standard\"]\n" + extra);
  }
};

TEST(RuleFile, TheShipFileAddsItsRuleFiles) {
  const YardShip yard("blades = 4\nrudder = \"sole-piece\"\nheel = { x = 4.0, z = 0.25 }\n");
  const ShipParticulars ship = readShipParticulars(yard.shipFile);
  ASSERT_EQ(ship.ruleFiles.size(), 1u);
  EXPECT_EQ(ship.rudder, RudderArrangement::SolePiece);
  EXPECT_DOUBLE_EQ(ship.heel->z, 0.25);
}

struct BadYardShip {
  const char* name;
  const char* extra;   // the ship file's lines after its rule_sets
  std::string rules;   // the yard's rule file
  const char* message;  // the scratch folder written "<folder>"
};

class BadYardShipTest : public testing::TestWithParam<BadYardShip> {};

TEST_P(BadYardShipTest, IsAnInputFaultNamingTheFileTheLineAndWhatTheRulesNeed) {
  const BadYardShip& bad = GetParam();
  const YardShip yard(bad.extra, bad.rules);
  try {
    readShipParticulars(yard.shipFile);
    FAIL() << "accepted";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::Input);
    std::string message = error.what();
    const std::string folder = yard.scratch.path().string();
    for (std::size_t at = message.find(folder); at != std::string::npos; at = message.find(folder)) {
      message.replace(at, folder.size(), "<folder>");
    }
    EXPECT_EQ(message, bad.message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryNeed, BadYardShipTest,
    testing::Values(
        BadYardShip{"NoFactorForItsBladeNumber", "blades = 6\n", kYardRules,
                    "yard.toml:8: [line] factor = { 4 = 1.10, 5 = 0.90 }: no factor for Z = 6 "
                    "blades (the table has 4, 5)"},
        BadYardShip{"NoBladeNumber", "", kYardRules,
                    "Hull.ship.toml:6: blades is missing: rule set \"yard-standard\" needs Z, the "
                    "number of blades"},
        BadYardShip{"HeelBesideASpadeRudder",
                    "blades = 4\nrudder = \"spade\"\nheel = { x = 4.0, z = 0.25 }\n", kYardRules,
                    "Hull.ship.toml:9: heel = { x = 4.0, z = 0.25 }: a spade rudder has no heel "
                    "under the disc (rudder = \"spade\")"},
        BadYardShip{"UnknownRudder", "blades = 4\nrudder = \"pod\"\n", kYardRules,
                    "Hull.ship.toml:8: rudder = \"pod\": must be \"spade\", \"semi-spade\", "
                    "\"horn\" or \"sole-piece\""},
        BadYardShip{"ABundledRuleSetsName", "blades = 4\n",
                    replacedLine(kYardRules, 1, "name = \"lr-recommended\""),
                    "Hull.ship.toml:5: rule_files = [\"yard.toml\"]: the rule file "
                    "<folder>/yard.toml names the rule set \"lr-recommended\", which is already "
                    "known"}),
    [](const testing::TestParamInfo<BadYardShip>& info) { return info.param.name; });

// The sample stern's lower tip stands 0.500 m above the base line; its b' is
// measured down to the first contour point's height.
TEST(RuleFile, TheRudderDecidesTheHeelLineAndANamedHeelIsWhatBPrimeIsJudgedTo) {
  const test::SampleRun run(test::sampleDesign());
  ShipParticulars ship = test::lrShip(118.0, 0.72, 6500.0, 4, 0.55);
  const double lowerTipZ = run.analysis.clearances[clearanceBPrime].bladeZ;
  const auto heelLine = [](const RuleCheck& check) {
    for (const RuleLine& line : check.lines) {
      if (line.sourceLetter == "LR d") return line;
    }
    return RuleLine{};
  };

  ship.rudder = RudderArrangement::SemiSpade;
  RuleCheck check = checkClearanceRules(ship, 4.6, measuredClearancesOf(run.analysis));
  EXPECT_EQ(heelLine(check).verdict, RuleVerdict::NotApplicable);
  EXPECT_EQ(verdictWithReason(heelLine(check)),
            "not applicable \u2014 semi-spade rudder, no heel under the disc");
  EXPECT_EQ(check.bindingLines, 3);

  ship.rudder = RudderArrangement::SolePiece;
  const DesignPoint heel{4.0, lowerTipZ - 0.100};
  check = checkClearanceRules(ship, 4.6, measuredClearancesOf(run.analysis, heel));
  EXPECT_NEAR(*heelLine(check).measuredMetres, 0.100, 1e-12);
  EXPECT_EQ(heelLine(check).verdict, RuleVerdict::BelowMinimum);  // 0.03 D = 0.138 m
  EXPECT_NE(heelLine(check).note.find("the heel the ship file names, x = 4.000 m"),
            std::string::npos);

  // The base-line guidance, checked always: 0.050 m and 0.100 m recommended.
  int baseLineLines = 0;
  for (const RuleLine& line : check.lines) {
    if (line.clearance != judgedBaseLine) continue;
    ++baseLineLines;
    EXPECT_EQ(line.ruleSet, "base-line-guidance");
    EXPECT_NEAR(*line.measuredMetres, 0.500, 5e-4);
    EXPECT_EQ(line.verdict, RuleVerdict::Meets);
  }
  EXPECT_EQ(baseLineLines, 2);
}

TEST(ShortestTipDistance, IsNoLongerThanBAndNoContourPointComesCloser) {
  const test::SampleRun run(test::sampleDesign());
  const ClearanceSegment& b = run.analysis.clearances[clearanceB];
  ASSERT_TRUE(run.analysis.shortestTipDistance);
  const ClearanceSegment& shortest = *run.analysis.shortestTipDistance;
  EXPECT_LE(shortest.length, b.length);
  EXPECT_DOUBLE_EQ(shortest.bladeX, b.bladeX);
  // A brute-force search along the measured contour finds nothing closer.
  const SplineCurve& hull = run.analysis.hullCurve;
  const double from = std::max(hull.knot(1), run.design.propellerCentreZ);
  const double to = hull.knot(hull.knotCount());
  for (int i = 0; i <= 20000; ++i) {
    const double z = from + (to - from) * i / 20000.0;
    double x = 0.0;
    evaluateCurve(hull, z, x);
    const double tipZ = std::clamp(z, run.design.propellerCentreZ, b.bladeZ);
    EXPECT_GE(std::hypot(x - b.bladeX, z - tipZ), shortest.length - 1e-7) << "z = " << z;
  }
}

}  // namespace
}  // namespace propclear
