// The rule check as the terminal table and as the "ruleCheck" JSON member.

#include <gtest/gtest.h>

#include "report/rule_check_json.h"
#include "report/rule_check_table.h"
#include "rules/custom_minima.h"
#include "rules/lr_recommended.h"
#include "sample_ship.h"

namespace propclear {
namespace {

using Unit = ClearanceMinimum::Unit;

// The second worked ship (L 60 m, Cb 0.60, P 1000 kW, Z 4, tR 0.30 m, D 2.0 m):
// K = 0.1053, LR a = 2K = 0.211, LR b = 3K = 0.316, LR c = tR = 0.300,
// LR d = 0.060; and the designer's a' >= 0.50 m.
TEST(RuleCheckTable, ShowsEveryLineWithMarginsVerdictsAndTheOverallVerdictLast) {
  ShipParticulars ship = test::lrShip(60.0, 0.60, 1000.0, 4, 0.30);
  ship.sourceName = "Test.ship.toml";
  ship.name = "MV Test";
  ship.ruleSets = {lrRecommendedName, customName};
  ship.customMinima = {{clearanceAPrime, 0.50, Unit::Metres, "0.50 m"}};
  // c overlaps the rudder; c' was measured against a fallback.
  MeasuredClearances measured = test::signedGaps(0.400, 0.250, -0.010, 0.500, 0.050, 0.9);
  measured[clearanceCPrime].signedGapMetres.reset();

  const Assessment assessment =
      judgeAnalysis(SternAnalysis{}, 2.0, checkClearanceRules(ship, 2.0, measured));
  EXPECT_EQ(ruleCheckTableText(assessment),
            "Clearance rules for MV Test (Test.ship.toml), D = 2.000 m\n"
            "lr-recommended: K = 0.1053\n"
            "Note: c: the blade overlaps the structure\n"
            "clearance  measured m      /D  rule                   required m     /D  margin m       %  verdict\n"
            "a               0.400   0.200  lr-recommended (LR b)       0.316  0.158     0.084    26.6  meets\n"
            "b               0.250   0.125  lr-recommended (LR a)       0.211  0.105     0.039    18.7  meets\n"
            "c              -0.010  -0.005  lr-recommended (LR c)       0.300  0.150    -0.310  -103.3  below the recommended minimum (overlap)\n"
            "a'              0.500   0.250  lr-recommended (LR b)       0.316  0.158     0.184    58.3  meets (informative)\n"
            "b'              0.050   0.025  lr-recommended (LR d)       0.060  0.030    -0.010   -16.7  below the recommended minimum\n"
            "c'                  -       -  lr-recommended (LR c)       0.300  0.150         -       -  not measured (informative)\n"
            "a'              0.500   0.250  custom (a')                 0.500  0.250     0.000     0.0  meets\n"
            "Overall: below the recommended minimum on 2 of 5 lines\n");
}

// One line judged and one not measured: the JSON member, written through
// the results' JSON writer, leaves out what was not measured.
TEST(RuleCheckJson, WritesEachLineAndLeavesOutWhatWasNotMeasured) {
  ShipParticulars ship;
  ship.sourceName = "Test.ship.toml";
  ship.ruleSets = {customName};
  ship.customMinima = {{clearanceA, 0.25, Unit::PropellerDiameters, "0.25D"},
                       {clearanceBPrime, 0.50, Unit::Metres, "0.50 m"}};
  MeasuredClearances measured = test::signedGaps(1.5, 1.5, 1.5, 1.5, 0.25, 1.5);
  measured[clearanceBPrime].signedGapMetres.reset();
  JsonWriter json;
  json.openObject();
  appendRuleCheckJson(json, checkClearanceRules(ship, 4.0, measured));
  json.close();
  const std::string text = json.text();
  const std::size_t judged = text.find("\"clearance\": \"a\"");
  const std::size_t unjudged = text.find("\"clearance\": \"b'\"");
  ASSERT_LT(judged, unjudged);
  const std::string judgedLine = text.substr(judged, unjudged - judged);
  const std::string unjudgedLine = text.substr(unjudged, text.find('}', unjudged) - unjudged);
  for (const char* member : {"\"required_m\": 1,", "\"measured_m\": 1.5,", "\"margin_m\": 0.5,",
                             "\"margin_percent\": 50,", "\"verdict\": \"meets\","}) {
    EXPECT_NE(judgedLine.find(member), std::string::npos) << member;
  }
  EXPECT_NE(unjudgedLine.find("\"length_m\": 0.25,"), std::string::npos);
  EXPECT_NE(unjudgedLine.find("\"verdict\": \"not measured\""), std::string::npos);
  EXPECT_EQ(unjudgedLine.find("measured_m"), std::string::npos);
  EXPECT_EQ(unjudgedLine.find("margin"), std::string::npos);
  EXPECT_NE(text.find("{\"key\": \"custom_minima.b'\", \"symbol\": \"b'\", \"value\": \"0.50 m\", "
                      "\"unit\": \"\"}"),
            std::string::npos);
  EXPECT_NE(text.find("\"overall\": \"not-judged\""), std::string::npos);
  EXPECT_EQ(text.find("\"K\""), std::string::npos);
}

TEST(RuleCheckJson, GivesKForTheRuleSetThatHasOne) {
  const ShipParticulars ship = test::lrShip(150.0, 0.70, 10000.0, 4, 0.90);
  JsonWriter json;
  json.openObject();
  appendRuleCheckJson(json, checkClearanceRules(ship, 6.0, test::signedGaps(2, 2, 2, 2, 2, 2)));
  json.close();
  const std::string text = json.text();
  EXPECT_NE(text.find("\"K\": 0.2062"), std::string::npos) << text;
  EXPECT_NE(text.find("\"overall\": \"meets\""), std::string::npos);
}

}  // namespace
}  // namespace propclear
