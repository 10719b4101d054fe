// The propeller file: a full table as read, every kind of bad file with the
// message a designer gets (file, line, key, value, rule), and the blade
// number agreeing with the ship file's and within the rule tables.

#include "rules/read_propeller_table.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/run_error.h"
#include "rules/read_ship_particulars.h"
#include "support/test_support.h"

namespace propclear {
namespace {

using test::ScratchDir;

constexpr const char* kPropellerFile = "Norvalek.propeller.toml";

// A five-bladed skewed propeller, one setting per line (lines 1 to 8).
const std::vector<std::string> kPropellerLines = {
    "blades = 5",
    "hub_length = 1.2",
    "[outline]",
    "r_over_R = [0.2, 0.4, 0.6, 0.8, 1.0]",
    "chord_over_D = [0.18, 0.22, 0.24, 0.2, 0]",
    "leading_edge_over_chord = [0.6, 0.6, 0.55, 0.45, 0.005]",
    "skew_deg = [0, 2, 6, 14, 25]",
    "pitch_over_D = [0.7, 0.75, 0.8, 0.8, 0.78]",
};

std::string propellerFileText(const std::map<int, std::string>& replaced) {
  std::string text;
  for (std::size_t i = 0; i < kPropellerLines.size(); ++i) {
    const auto replacement = replaced.find(static_cast<int>(i) + 1);
    text += (replacement != replaced.end() ? replacement->second : kPropellerLines[i]) + "\n";
  }
  return text;
}

std::string propellerFaultOf(const std::string& text) {
  try {
    ScratchDir scratch;
    test::writeFile(scratch / kPropellerFile, text);
    readPropellerTable(scratch / kPropellerFile);
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::Input);
    return error.what();
  }
  return "no fault";
}

TEST(PropellerFile, ReadsEveryColumnAndFindsTheFileBesideTheDesign) {
  ScratchDir scratch;
  test::writeFile(scratch / kPropellerFile, propellerFileText({}));
  EXPECT_EQ(findPropellerFile(scratch / "Norvalek.TSK"), scratch / kPropellerFile);
  EXPECT_EQ(findPropellerFile(scratch / "Other.TSK"), std::nullopt);
  const PropellerTable table = readPropellerTable(scratch / kPropellerFile);
  EXPECT_EQ(table.bladeCount, 5);
  EXPECT_EQ(table.bladeCountLine, 1);
  EXPECT_EQ(table.hubLengthMetres, 1.2);
  EXPECT_EQ(table.radiusRatio, (std::vector<double>{0.2, 0.4, 0.6, 0.8, 1.0}));
  EXPECT_EQ(table.chordPerDiameter.back(), 0.0);
  EXPECT_EQ(table.edge2PerChord[2], 0.55);
  EXPECT_EQ(table.skewDegrees.back(), 25.0);
  EXPECT_EQ(table.pitchRatio[1], 0.75);
  EXPECT_TRUE(table.rakePerDiameter.empty());
}

TEST(PropellerFile, BadFilesNameTheLineTheKeyTheValueAndTheRule) {
  const std::string f = std::string(kPropellerFile) + ":";
  const std::vector<std::pair<std::map<int, std::string>, std::string>> cases = {
      {{{4, "r_over_R = [0.2, 0.4, 0.3, 0.8, 1.0]"}},
       f + "4: [outline] r_over_R = [0.2, 0.4, 0.3, 0.8, 1.0]: must rise from root to tip: "
           "station 3 is not above station 2"},
      {{{4, "r_over_R = [0.2, 0.4, 0.6, 0.8, 0.95]"}},
       f + "4: [outline] r_over_R = [0.2, 0.4, 0.6, 0.8, 0.95]: the last radius must be 1.0 "
           "(the tip)"},
      {{{4, "r_over_R = [0.4, 0.6, 0.8, 1.0]"}},
       f + "4: [outline] r_over_R = [0.4, 0.6, 0.8, 1.0]: must hold 5 to 40 stations, not 4"},
      {{{4, "r_over_R = [0.75, 0.8, 0.85, 0.9, 1.0]"}},
       f + "4: [outline] r_over_R = [0.75, 0.8, 0.85, 0.9, 1.0]: the first radius must not lie "
           "above 0.7"},
      {{{7, "skew_deg = [0, 2, 6, 25]"}},
       f + "7: [outline] skew_deg = [0, 2, 6, 25]: has 4 stations, but r_over_R has 5"},
      {{{5, "chord_over_D = [0.18, -0.22, 0.24, 0.2, 0]"}},
       f + "5: [outline] chord_over_D = [0.18, -0.22, 0.24, 0.2, 0]: station 2 is negative"},
      {{{5, "chord_over_D = [0.18, 0.22, 0, 0.2, 0]"}},
       f + "5: [outline] chord_over_D = [0.18, 0.22, 0, 0.2, 0]: station 3 is 0; only the tip "
           "may have no chord"},
      {{{7, "skew_deg = [0, 2, 6, 14, 95]"}},
       f + "7: [outline] skew_deg = [0, 2, 6, 14, 95]: station 5 must lie within -90 to 90 "
           "degrees"},
      {{{8, "pitch_over_D = [0.7, 0.75, 0, 0.8, 0.78]"}},
       f + "8: [outline] pitch_over_D = [0.7, 0.75, 0, 0.8, 0.78]: station 3 must be greater "
           "than 0"},
      {{{6, "leading_edge_over_chord = [0.6, \"x\", 0.55, 0.45, 0.005]"}},
       f + "6: [outline] leading_edge_over_chord = [0.6, \"x\", 0.55, 0.45, 0.005]: must be a "
           "list of numbers, one per station"},
      {{{1, "blades = 8"}}, f + "1: blades = 8: must be a whole number from 3 to 7"},
      {{{1, "blades = 4.5"}}, f + "1: blades = 4.5: must be a whole number from 3 to 7"},
      {{{2, "hub_length = -1"}}, f + "2: hub_length = -1: must be greater than 0"},
      {{{2, "hub = 1.2"}}, f + "2: hub = 1.2: unknown key; known keys: blades, hub_length, outline"},
      {{{8, "pitch = [1, 1, 1, 1, 1]"}},
       f + "8: [outline] pitch = [1, 1, 1, 1, 1]: unknown key; known keys: r_over_R, "
           "chord_over_D, leading_edge_over_chord, skew_deg, pitch_over_D, rake_over_D"},
      {{{1, "# no blades"}}, f + " blades is missing: the number of blades, 3 to 7"},
      {{{7, "# no skew"}},
       f + "3: [outline] skew_deg is missing: every station needs its r_over_R, chord_over_D, "
           "leading_edge_over_chord and skew_deg"},
      {{{3, "outline = 1"}, {4, ""}, {5, ""}, {6, ""}, {7, ""}, {8, ""}},
       f + "3: outline = 1: must be a table: [outline] with r_over_R = [...] and so on"},
      {{{2, "hub_length = "}}, f + "2:14: not valid TOML: "},
  };
  for (const auto& [replaced, message] : cases) {
    const std::string fault = propellerFaultOf(propellerFileText(replaced));
    EXPECT_EQ(fault.substr(0, message.size()), message) << fault;
  }
}

TEST(PropellerFile, TheShipTakesThePropellersBladeNumberAndMustNotGiveAnother) {
  ScratchDir scratch;
  test::writeFile(scratch / kPropellerFile, propellerFileText({}));
  const PropellerTable table = readPropellerTable(scratch / kPropellerFile);
  test::writeFile(scratch / "a.ship.toml", "rule_sets = [\"lr-recommended\"]\nrule_length = 118\n"
                                           "block_coefficient = 0.72\npower = 6500\n"
                                           "rudder_thickness = 0.5\nskew = \"high\"\n");
  const ShipParticulars ship = readShipParticulars(scratch / "a.ship.toml", {}, &table);
  EXPECT_EQ(ship.bladeCount, 5);
  EXPECT_EQ(ship.outlineBladeCount, 5);

  test::writeFile(scratch / "b.ship.toml", "rule_sets = [\"tip-guidance\"]\nblades = 4\n");
  try {
    readShipParticulars(scratch / "b.ship.toml", {}, &table);
    ADD_FAILURE() << "no fault";
  } catch (const RunError& error) {
    EXPECT_STREQ(error.what(),
                 "Norvalek.propeller.toml:1: blades = 5: must agree with the ship file's blades = "
                 "4 (b.ship.toml)");
  }

  // Seven blades are a propeller the LR table has no row for: the rule file's
  // table is named, not a crash or a made-up factor.
  test::writeFile(scratch / kPropellerFile, propellerFileText({{1, "blades = 7"}}));
  const PropellerTable sevenBlades = readPropellerTable(scratch / kPropellerFile);
  try {
    readShipParticulars(scratch / "a.ship.toml", {}, &sevenBlades);
    ADD_FAILURE() << "no fault";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::Input);
    EXPECT_NE(std::string(error.what()).find("lr-recommended.toml:"), std::string::npos)
        << error.what();
    EXPECT_NE(std::string(error.what()).find("no factor for Z = 7 blades (the table has 3, 4, 5, 6)"),
              std::string::npos)
        << error.what();
  }
}

}  // namespace
}  // namespace propclear
