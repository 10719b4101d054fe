// The figures of the rule check worked out for a reader with a pencil: the
// example ship's K and required values with its figures put in, a minimum
// term, a custom minimum, and the design file's caption lines.

#include "report/rule_working.h"

#include <gtest/gtest.h>

#include "report/clearance_report_content.h"
#include "sample_ship.h"

namespace propclear {
namespace {

RuleCheck exampleCheck(double diameter) {
  const ShipParticulars ship = test::lrShip(118.0, 0.72, 6500.0, 4, 0.55);
  return checkClearanceRules(ship, diameter, test::signedGaps(1.1, 0.9, 1.7, 1.7, 0.2, 1.6));
}

const RuleLine& lineFor(const RuleCheck& check, int clearance) {
  for (const RuleLine& line : check.lines) {
    if (line.clearance == clearance) return line;
  }
  throw std::logic_error("no line");
}

TEST(RuleWorking, TheExampleShipsFactorAndMinimaWithTheirFigures) {
  const RuleCheck check = exampleCheck(4.6);
  EXPECT_EQ(factorWorking(*check.ruleSets.at(0)),
            "K = (0.1 + L/3050)\u00B7(3.48\u00B7Cb\u00B7P/L\u00B2 + 0.3) = (0.1 + 118/3050)\u00B7"
            "(3.48\u00B70.72\u00B76500/118\u00B2 + 0.3) = 0.2038");
  EXPECT_EQ(requiredWorking(lineFor(check, clearanceA), check),
            "1.50\u00B7K\u00B7D = 1.50\u00B70.2038\u00B74.6 = 1.406 m");
  EXPECT_EQ(requiredWorking(lineFor(check, clearanceC), check),
            "0.12\u00B7D = 0.12\u00B74.6 = 0.552 m");
  // A small propeller: the minimum row gives b' nothing, but LR a's 0.10·D
  // minimum and c's rudder thickness decide.
  const RuleCheck small = exampleCheck(1.0);
  EXPECT_EQ(requiredWorking(lineFor(small, clearanceC), small), "tR minimum = 0.55 = 0.550 m");
}

TEST(RuleWorking, ARuleSetWithoutAFactorShowsItsTermAndValue) {
  ShipParticulars ship;
  ship.ruleSets = {"custom"};
  ship.customMinima = {{clearanceA, 0.25, ClearanceMinimum::Unit::PropellerDiameters, "0.25D"},
                       {clearanceB, 1.1, ClearanceMinimum::Unit::Metres, "1.10 m"}};
  const RuleCheck check =
      checkClearanceRules(ship, 4.0, test::signedGaps(1.1, 0.9, 1.7, 1.7, 0.2, 1.6));
  EXPECT_EQ(factorWorking(*check.ruleSets.at(0)), std::nullopt);
  // The term as written, then a product sign between the factor and D's figure.
  const std::string a = requiredWorking(lineFor(check, clearanceA), check);
  EXPECT_EQ(a.substr(0, 5), "0.25D");
  EXPECT_NE(a.find("= 0.25\u00B74 = 1.000 m"), std::string::npos) << a;
  EXPECT_NE(requiredWorking(lineFor(check, clearanceB), check).find("= 1.100 m"), std::string::npos);
}

TEST(DesignCaptionLines, AreTheLinesAboveTheRuleWithoutBlanksOrLineEnds) {
  EXPECT_EQ(designCaptionLines("MV TEST - STERN\r\n  Project: yard number 2417  \r\n\r\n"
                               "Date: 2024-03-18, revision B\r\n=====\r\nPROPELLER CENTRE\r\n"),
            (std::vector<std::string>{"MV TEST - STERN", "Project: yard number 2417",
                                      "Date: 2024-03-18, revision B"}));
  // Without a rule, no more than the caption's room of lines.
  std::string numbers;
  for (int line = 0; line < 30; ++line) numbers += "1.0, 2.0\n";
  EXPECT_EQ(designCaptionLines(numbers).size(), designCaptionLineCount);
  EXPECT_TRUE(designCaptionLines("").empty());
}

}  // namespace
}  // namespace propclear
