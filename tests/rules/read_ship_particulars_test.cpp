// The ship file: the example as read, every kind of bad ship file with the
// message a designer gets (file, line, key, value, rule), the command-line
// overrides on top of it, and files that cannot be read.

#include "rules/read_ship_particulars.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "clearance/clearance_segment.h"
#include "common/run_error.h"
#include "support/test_support.h"

namespace propclear {
namespace {

using test::ScratchDir;

constexpr const char* kShipFile = "Norvalek.ship.toml";
constexpr const char* kKnownRuleSets = "known: lr-recommended, tip-guidance, custom";

// The example's particulars, one per line (line numbers 1 to 8).
const std::vector<std::string> kExampleLines = {
    "name = \"MV Norvalek\"",   "rule_length = 118.0",    "block_coefficient = 0.72",
    "power = 6500.0",           "blades = 4",             "rudder_thickness = 0.55",
    "skew = \"none\"",          "rule_sets = [\"lr-recommended\"]",
};

// The example with lines replaced (1-based) and lines added at the end.
std::string shipFileText(const std::map<int, std::string>& replaced,
                         const std::vector<std::string>& added = {}) {
  std::string text;
  for (std::size_t i = 0; i < kExampleLines.size(); ++i) {
    const auto replacement = replaced.find(static_cast<int>(i) + 1);
    text += (replacement != replaced.end() ? replacement->second : kExampleLines[i]) + "\n";
  }
  for (const std::string& line : added) text += line + "\n";
  return text;
}

ShipParticulars readText(const std::string& text, const ShipOverrides& overrides = {}) {
  ScratchDir scratch;
  test::writeFile(scratch / kShipFile, text);
  return readShipParticulars(scratch / kShipFile, overrides);
}

// The fault of reading `text` with `overrides`: its kind and message.
struct Fault {
  ErrorKind kind;
  std::string message;
};
Fault faultOf(const std::string& text, const ShipOverrides& overrides = {}) {
  try {
    readText(text, overrides);
  } catch (const RunError& error) {
    return {error.kind(), error.what()};
  }
  return {ErrorKind::Input, "no error"};
}

TEST(ShipFile, TheExampleReadsAsWritten) {
  const ShipParticulars ship = readShipParticulars(test::examplesDir() / kShipFile);
  EXPECT_EQ(ship.sourceName, kShipFile);
  EXPECT_EQ(ship.name, "MV Norvalek");
  EXPECT_EQ(ship.ruleLengthMetres, 118.0);
  EXPECT_EQ(ship.blockCoefficient, 0.72);
  EXPECT_EQ(ship.shaftPowerKilowatts, 6500.0);
  EXPECT_EQ(ship.bladeCount, 4);
  EXPECT_EQ(ship.rudderThicknessMetres, 0.55);
  EXPECT_EQ(ship.skew, PropellerSkew::None);
  EXPECT_EQ(ship.ruleSets, std::vector<std::string>{"lr-recommended"});
  EXPECT_TRUE(ship.customMinima.empty());
}

TEST(ShipFile, ReadsCustomMinimaInClearanceOrderWithIntegersAsNumbersAndCrLfLines) {
  const std::string lfText =
      shipFileText({{4, "power = 6500"}, {8, "rule_sets = [\"custom\", \"tip-guidance\"]"}},
                   {"[custom_minima]", "\"b'\" = \"0.30 m\"", "a = \"0.25D\""});
  std::string text;
  for (const char c : lfText) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const ShipParticulars ship = readText(text);
  EXPECT_EQ(ship.shaftPowerKilowatts, 6500.0);
  EXPECT_EQ(ship.ruleSets, (std::vector<std::string>{"custom", "tip-guidance"}));
  ASSERT_EQ(ship.customMinima.size(), 2u);
  EXPECT_EQ(ship.customMinima[0].clearance, clearanceA);
  EXPECT_EQ(ship.customMinima[0].unit, ClearanceMinimum::Unit::PropellerDiameters);
  EXPECT_EQ(ship.customMinima[0].text, "0.25D");
  EXPECT_EQ(ship.customMinima[1].clearance, clearanceBPrime);
  EXPECT_EQ(ship.customMinima[1].value, 0.30);
  EXPECT_EQ(ship.customMinima[1].unit, ClearanceMinimum::Unit::Metres);
}

struct BadShipFile {
  std::string name;
  std::string text;
  std::string message;  // the whole message, or its beginning when it ends in "..."
};

class BadShipFileTest : public testing::TestWithParam<BadShipFile> {};

TEST_P(BadShipFileTest, IsAnInputFaultNamingFileLineKeyValueAndRule) {
  const BadShipFile& bad = GetParam();
  const Fault fault = faultOf(bad.text);
  EXPECT_EQ(fault.kind, ErrorKind::Input);
  const std::string expected = bad.message;
  if (expected.size() > 3 && expected.compare(expected.size() - 3, 3, "...") == 0) {
    EXPECT_EQ(fault.message.substr(0, expected.size() - 3), expected.substr(0, expected.size() - 3));
  } else {
    EXPECT_EQ(fault.message, expected);
  }
}

const std::string kLr = "rule_sets = [\"lr-recommended\"]";

INSTANTIATE_TEST_SUITE_P(
    KeysTypesRanges, BadShipFileTest,
    testing::Values(
        BadShipFile{"UnknownKey", shipFileText({}, {"rule_lenght = 118.0"}),
                    "Norvalek.ship.toml:9: rule_lenght = 118.0: unknown key; known keys: name, "
                    "rule_length, block_coefficient, power, blades, rudder_thickness, skew, "
                    "rule_sets, custom_minima, rudder, ship_type, heel, rule_files, drawing"},
        BadShipFile{"DrawingKeyUnknown", shipFileText({}, {"[drawing]", "yrad = \"Harbour\""}),
                    "Norvalek.ship.toml:10: [drawing] yrad = \"Harbour\": unknown key; known keys: "
                    "yard, hull_number, drawing_number, revision, drawn_by, checked_by, approved_by"},
        BadShipFile{"DrawingRevisionAsNumber", shipFileText({}, {"[drawing]", "revision = 1.5"}),
                    "Norvalek.ship.toml:10: [drawing] revision = 1.5: must be a text"},
        BadShipFile{"DrawingOnTwoLines",
                    shipFileText({}, {"[drawing]", "drawn_by = \"\"\"J.", "Smith\"\"\""}),
                    "Norvalek.ship.toml:10: [drawing] drawn_by = '''J.\\nSmith''': must be one line of text"},
        BadShipFile{"DrawingAsText", shipFileText({}, {"drawing = \"A-1\""}),
                    "Norvalek.ship.toml:9: drawing = \"A-1\": must be a table, e.g. [drawing] yard = "
                    "\"Harbour Yard\""},
        BadShipFile{"RuleSetsMissing", shipFileText({{8, "# none"}}),
                    "Norvalek.ship.toml: rule_sets is missing: name the rule sets to check "
                    "against, e.g. rule_sets = [\"lr-recommended\"] (known: lr-recommended, "
                    "tip-guidance, custom)"},
        BadShipFile{"EmptyFile", "", "Norvalek.ship.toml: rule_sets is missing: ..."},
        BadShipFile{"PowerAsText", shipFileText({{4, "power = \"6500\""}}),
                    "Norvalek.ship.toml:4: power = \"6500\": must be a number"},
        BadShipFile{"BladesAsFraction", shipFileText({{5, "blades = 4.0"}}),
                    "Norvalek.ship.toml:5: blades = 4.0: must be a whole number (3 to 6)"},
        BadShipFile{"NameAsNumber", shipFileText({{1, "name = 7"}}),
                    "Norvalek.ship.toml:1: name = 7: must be a text"},
        BadShipFile{"SkewAsBoolean", shipFileText({{7, "skew = false"}}),
                    "Norvalek.ship.toml:7: skew = false: must be \"none\" or \"high\""},
        BadShipFile{"RuleSetsAsText", shipFileText({{8, "rule_sets = \"lr-recommended\""}}),
                    "Norvalek.ship.toml:8: rule_sets = \"lr-recommended\": must be a list of rule "
                    "set names, e.g. [\"lr-recommended\"]"},
        BadShipFile{"CustomMinimaAsText", shipFileText({}, {"custom_minima = \"0.25D\""}),
                    "Norvalek.ship.toml:9: custom_minima = \"0.25D\": must be a table of minima, "
                    "e.g. [custom_minima] a = \"0.25D\""},
        BadShipFile{"BlockCoefficientAboveOne", shipFileText({{3, "block_coefficient = 1.3"}}),
                    "Norvalek.ship.toml:3: block_coefficient = 1.3: must lie in (0, 1]"},
        BadShipFile{"BlockCoefficientZero", shipFileText({{3, "block_coefficient = 0.0"}}),
                    "Norvalek.ship.toml:3: block_coefficient = 0.0: must lie in (0, 1]"},
        BadShipFile{"BlockCoefficientNan", shipFileText({{3, "block_coefficient = nan"}}),
                    "Norvalek.ship.toml:3: block_coefficient = nan: must be a finite number"},
        BadShipFile{"PowerZero", shipFileText({{4, "power = 0.0"}}),
                    "Norvalek.ship.toml:4: power = 0.0: must lie in (0, 1000000] (kW)"},
        // Values no ship has, which would make the rule formulas overflow or
        // print numbers hundreds of digits long.
        BadShipFile{"RuleLengthTiny", shipFileText({{2, "rule_length = 1e-300"}}),
                    "Norvalek.ship.toml:2: rule_length = 1e-300: must lie between 1 and 1000 (m)"},
        BadShipFile{"RuleLengthHuge", shipFileText({{2, "rule_length = 1e308"}}),
                    "Norvalek.ship.toml:2: rule_length = 1e308: must lie between 1 and 1000 (m)"},
        BadShipFile{"PowerHuge", shipFileText({{4, "power = 1.7e308"}}),
                    "Norvalek.ship.toml:4: power = 1.7e308: must lie in (0, 1000000] (kW)"},
        BadShipFile{"RudderThicknessHuge", shipFileText({{6, "rudder_thickness = 11"}}),
                    "Norvalek.ship.toml:6: rudder_thickness = 11: must lie between 0 and 10 (m)"},
        BadShipFile{"TwoBlades", shipFileText({{5, "blades = 2"}}),
                    "Norvalek.ship.toml:5: blades = 2: must be 3, 4, 5 or 6"},
        BadShipFile{"RudderThicknessNegative", shipFileText({{6, "rudder_thickness = -0.1"}}),
                    "Norvalek.ship.toml:6: rudder_thickness = -0.1: must lie between 0 and 10 (m)"},
        BadShipFile{"SkewUnknown", shipFileText({{7, "skew = 'medium'"}}),
                    "Norvalek.ship.toml:7: skew = 'medium': must be \"none\" or \"high\""}),
    [](const auto& info) { return info.param.name; });

// Each stated range takes its ends, and refuses the next value beyond them:
// the next double past 1 for Cb, the next whole number for the blades, the
// least negative double for tR.
TEST(ShipFile, EachRangeTakesItsEndsAndRefusesTheValueJustBeyond) {
  const ShipParticulars ends = readText(shipFileText({{2, "rule_length = 1000.0"},
                                                      {3, "block_coefficient = 1.0"},
                                                      {4, "power = 1e6"},
                                                      {5, "blades = 6"},
                                                      {6, "rudder_thickness = 10.0"}}));
  EXPECT_EQ(ends.ruleLengthMetres, 1000.0);
  EXPECT_EQ(ends.blockCoefficient, 1.0);
  EXPECT_EQ(ends.shaftPowerKilowatts, 1e6);
  EXPECT_EQ(ends.bladeCount, 6);
  EXPECT_EQ(ends.rudderThicknessMetres, 10.0);
  const ShipParticulars lowEnds = readText(shipFileText({{2, "rule_length = 1.0"},
                                                         {3, "block_coefficient = 5e-324"},
                                                         {4, "power = 5e-324"},
                                                         {5, "blades = 3"},
                                                         {6, "rudder_thickness = 0.0"}}));
  EXPECT_EQ(lowEnds.ruleLengthMetres, 1.0);
  EXPECT_EQ(lowEnds.blockCoefficient, 5e-324);
  EXPECT_EQ(lowEnds.shaftPowerKilowatts, 5e-324);
  EXPECT_EQ(lowEnds.bladeCount, 3);
  EXPECT_EQ(lowEnds.rudderThicknessMetres, 0.0);

  const std::pair<std::map<int, std::string>, std::string> beyond[] = {
      {{{3, "block_coefficient = 1.0000000000000002"}},
       "Norvalek.ship.toml:3: block_coefficient = 1.0000000000000002: must lie in (0, 1]"},
      {{{5, "blades = 7"}}, "Norvalek.ship.toml:5: blades = 7: must be 3, 4, 5 or 6"},
      {{{6, "rudder_thickness = -5e-324"}},
       "Norvalek.ship.toml:6: rudder_thickness = -5e-324: must lie between 0 and 10 (m)"},
      {{{6, "rudder_thickness = 10.000000000000002"}},
       "Norvalek.ship.toml:6: rudder_thickness = 10.000000000000002: must lie between 0 and 10 (m)"},
      {{{2, "rule_length = 0.9999999999999999"}},
       "Norvalek.ship.toml:2: rule_length = 0.9999999999999999: must lie between 1 and 1000 (m)"},
      {{{2, "rule_length = 1000.0000000000001"}},
       "Norvalek.ship.toml:2: rule_length = 1000.0000000000001: must lie between 1 and 1000 (m)"},
      {{{4, "power = 1000000.0000000001"}},
       "Norvalek.ship.toml:4: power = 1000000.0000000001: must lie in (0, 1000000] (kW)"},
  };
  for (const auto& [lines, message] : beyond) {
    const Fault fault = faultOf(shipFileText(lines));
    EXPECT_EQ(fault.kind, ErrorKind::Input) << message;
    EXPECT_EQ(fault.message, message);
  }
}

const std::string kMinimumForm =
    "must be a multiple of D such as \"0.25D\" or metres such as \"1.10 m\"";

INSTANTIATE_TEST_SUITE_P(
    RuleSetsMinimaSyntax, BadShipFileTest,
    testing::Values(
        BadShipFile{"Unknown", shipFileText({{8, "rule_sets = [\"lr\"]"}}),
                    "Norvalek.ship.toml:8: rule_sets = [\"lr\"]: unknown rule set \"lr\"; " +
                        std::string(kKnownRuleSets)},
        BadShipFile{"NamedTwice",
                    shipFileText({{8, "rule_sets = [\"lr-recommended\", \"lr-recommended\"]"}}),
                    "Norvalek.ship.toml:8: rule_sets = [\"lr-recommended\", \"lr-recommended\"]: "
                    "rule set \"lr-recommended\" is named twice"},
        BadShipFile{"Empty", shipFileText({{8, "rule_sets = []"}}),
                    "Norvalek.ship.toml:8: rule_sets = []: names no rule set; " +
                        std::string(kKnownRuleSets)},
        BadShipFile{"PowerMissing", shipFileText({{4, "# power to come"}}),
                    "Norvalek.ship.toml:8: power is missing: rule set \"lr-recommended\" needs P, "
                    "the power on the shaft in kW"},
        BadShipFile{"SkewMissing",
                    shipFileText({{7, ""}, {8, "rule_sets = [\"lr-recommended\", \"tip-guidance\"]"}}),
                    "Norvalek.ship.toml:8: skew is missing: rule set \"tip-guidance\" needs the "
                    "propeller's skew, \"none\" or \"high\""},
        BadShipFile{"CustomMinimaMissing", shipFileText({{8, "rule_sets = [\"custom\"]"}}),
                    "Norvalek.ship.toml:8: [custom_minima] is missing: rule set \"custom\" needs "
                    "the designer's minima, e.g. a = \"0.25D\""},
        BadShipFile{"UnknownClearance", shipFileText({}, {"[custom_minima]", "d = \"0.2D\""}),
                    "Norvalek.ship.toml:10: [custom_minima] d = \"0.2D\": unknown clearance; "
                    "known: a, b, c, a', b', c'"},
        BadShipFile{"NoUnit", shipFileText({}, {"[custom_minima]", "a = \"0.25\""}),
                    "Norvalek.ship.toml:10: [custom_minima] a = \"0.25\": " + kMinimumForm},
        BadShipFile{"NumberNotText", shipFileText({}, {"[custom_minima]", "a = 0.25"}),
                    "Norvalek.ship.toml:10: [custom_minima] a = 0.25: " + kMinimumForm},
        BadShipFile{"Zero", shipFileText({}, {"[custom_minima]", "\"b'\" = \"0 m\""}),
                    "Norvalek.ship.toml:10: [custom_minima] b' = \"0 m\": must lie in (0, 100] (m)"},
        BadShipFile{"ThreeHundredAndEightNines",
                    shipFileText({}, {"[custom_minima]", "a = \"" + std::string(308, '9') + " m\""}),
                    "Norvalek.ship.toml:10: [custom_minima] a = \"" + std::string(308, '9') +
                        " m\": must lie in (0, 100] (m)"},
        BadShipFile{"ElevenDiameters", shipFileText({}, {"[custom_minima]", "a = \"11D\""}),
                    "Norvalek.ship.toml:10: [custom_minima] a = \"11D\": must lie in (0, 10] (D)"},
        BadShipFile{"Negative", shipFileText({}, {"[custom_minima]", "\"c'\" = \"-0.2D\""}),
                    "Norvalek.ship.toml:10: [custom_minima] c' = \"-0.2D\": " + kMinimumForm},
        BadShipFile{"UnitAfterNumber", shipFileText({{4, "power = 6500 kW"}}),
                    "Norvalek.ship.toml:4:14: not valid TOML: ..."},
        BadShipFile{"NotUtf8", shipFileText({{1, "name = \"MV \xff\""}}),
                    "Norvalek.ship.toml:1:..."}),
    [](const auto& info) { return info.param.name; });

TEST(ShipFile, FilesThatCannotBeReadAreInputFaultsNamingTheFile) {
  ScratchDir scratch;
  const auto faultReading = [](const std::filesystem::path& path) {
    try {
      readShipParticulars(path);
    } catch (const RunError& error) {
      EXPECT_EQ(error.kind(), ErrorKind::Input);
      return std::string(error.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(faultReading(scratch / "Missing.ship.toml"),
            "Missing.ship.toml: cannot read the ship file: No such file or directory");
  std::filesystem::create_directory(scratch / "Folder.ship.toml");
  EXPECT_EQ(faultReading(scratch / "Folder.ship.toml"),
            "Folder.ship.toml: cannot read the ship file: it is a folder");
  test::writeFile(scratch / "Huge.ship.toml", std::string(2 * 1024 * 1024, '#'));
  EXPECT_EQ(faultReading(scratch / "Huge.ship.toml"),
            "Huge.ship.toml: cannot read the ship file: it is longer than a ship file's limit of "
            "1048576 bytes");
  EXPECT_EQ(faultReading("/dev/null"),
            "null: cannot read the ship file: it is not a regular file (a device, pipe or socket)");
}

TEST(ShipFile, LinksThatLeadNowhereAndKernelFilesAreRefusedNamingTheFile) {
  ScratchDir scratch;
  const auto faultFor = [&](const std::filesystem::path& target) {
    const std::filesystem::path link = scratch / kShipFile;
    std::filesystem::remove(link);
    std::filesystem::create_symlink(target, link);
    if (findShipFile(scratch / "Norvalek.TSK") != link) return std::string("not found");
    try {
      readShipParticulars(link);
    } catch (const RunError& error) {
      return std::string(error.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(faultFor(scratch / "gone.toml"),
            "Norvalek.ship.toml: cannot read the ship file: it is a link to \"" +
                (scratch / "gone.toml").string() +
                "\", which leads to no file (No such file or directory)");
  EXPECT_EQ(faultFor(kShipFile),
            "Norvalek.ship.toml: cannot read the ship file: it is a link to \"Norvalek.ship.toml\", "
            "which leads to no file (Too many levels of symbolic links)");
  // A file of /proc claims to be regular and empty; /proc/kmsg would wait
  // for the kernel's next message for ever.
  const std::string kernelFile =
      "Norvalek.ship.toml: cannot read the ship file: it is a file of the kernel (/proc or /sys), "
      "not a file on a disk";
  EXPECT_EQ(faultFor("/proc/self/status"), kernelFile);
  if (::geteuid() == 0) {
    EXPECT_EQ(faultFor("/proc/kmsg"), kernelFile);
  }
}

TEST(ShipFile, NestingIsLimitedBeforeTheParserRecurses) {
  const std::string nestedRule =
      "cannot read the ship file: keys, tables or arrays nested more than 16 deep; a ship file "
      "needs 2";
  std::string dottedKey = "a";
  for (int part = 0; part < 250'000; ++part) dottedKey += ".a";
  const auto faultOfText = [](const std::string& text) {
    try {
      readShipParticularsText(text, "Deep.ship.toml");
    } catch (const RunError& error) {
      return std::string(error.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(faultOfText("# deep\n" + dottedKey + " = 1\n"), "Deep.ship.toml:2: " + nestedRule);
  EXPECT_EQ(faultOfText("[" + dottedKey + "]\n"), "Deep.ship.toml:1: " + nestedRule);
  EXPECT_EQ(faultOfText("x = " + std::string(100'000, '[')), "Deep.ship.toml:1: " + nestedRule);
  EXPECT_EQ(faultOfText("x = " + std::string(17, '{') + "\n"), "Deep.ship.toml:1: " + nestedRule);
  EXPECT_EQ(faultOfText(std::string(2 * 1024 * 1024, '#')),
            "Deep.ship.toml: cannot read the ship file: it is longer than a ship file's limit of "
            "1048576 bytes");
  // Dots and brackets in strings and comments are no nesting.
  const std::string deepLooking = std::string(40, '[') + "a.b.c.d.e.f.g.h.i.j.k.l.m.n.o.p.q.r";
  const ShipParticulars ship = readText(shipFileText(
      {{1, "name = \"" + deepLooking + "\"  # " + deepLooking},
       {2, "rule_length = 118.5 # '''"}},
      {"# \"\"\" " + deepLooking, "[custom_minima]", "a = '''0.25D'''"}));
  EXPECT_EQ(ship.name, deepLooking);
  ASSERT_EQ(ship.customMinima.size(), 1u);
  // Other than ASCII only in strings and comments, and a byte order mark
  // first: a key such as "iȕє" never reaches the parser.
  EXPECT_EQ(faultOfText("# \u00e9\na.i\u0215\u0454.l = 1\nx = [[1]]\n"),
            "Deep.ship.toml:2: cannot read the ship file: a character other than ASCII outside a "
            "quoted text or a comment");
  EXPECT_EQ(faultOfText("x = 1 \ufc00\n"), "Deep.ship.toml:1: cannot read the ship file: a "
                                              "character other than ASCII outside a quoted text or "
                                              "a comment");
  EXPECT_EQ(readText("\xEF\xBB\xBF" + shipFileText({{1, "name = \"\u00c7ak\u0131r\"  # \u00e9"}}))
                .name,
            "\u00c7ak\u0131r");
}

TEST(ShipFile, IsFoundBesideTheDesignFileUnderTheDesignsName) {
  EXPECT_EQ(shipFileBeside("ships/4711/Norvalek.TSK"), "ships/4711/Norvalek.ship.toml");
  EXPECT_EQ(shipFileBeside("Design"), "Design.ship.toml");
  ScratchDir scratch;
  EXPECT_FALSE(findShipFile(scratch / "Norvalek.TSK").has_value());
  test::writeFile(scratch / kShipFile, shipFileText({}));
  EXPECT_EQ(findShipFile(scratch / "Norvalek.TSK"), scratch / kShipFile);
}

TEST(ShipOverrides, ReplaceAndAddSettingsInCommandLineOrder) {
  ShipOverrides overrides;
  overrides.settings = {"block_coefficient=0.8", "power = 1", "power=7000", "skew=high",
                        "custom_minima.\"b'\"=0.30 m", "blades=5"};
  overrides.ruleSets = "lr-recommended, tip-guidance,custom";
  const ShipParticulars ship =
      readText(shipFileText({}, {"[custom_minima]", "a = \"0.25D\""}), overrides);
  EXPECT_EQ(ship.blockCoefficient, 0.8);
  EXPECT_EQ(ship.shaftPowerKilowatts, 7000.0);
  EXPECT_EQ(ship.skew, PropellerSkew::High);
  EXPECT_EQ(ship.bladeCount, 5);
  EXPECT_EQ(ship.ruleLengthMetres, 118.0);
  EXPECT_EQ(ship.ruleSets, (std::vector<std::string>{"lr-recommended", "tip-guidance", "custom"}));
  ASSERT_EQ(ship.customMinima.size(), 2u);
  EXPECT_EQ(ship.customMinima[0].text, "0.25D");
  EXPECT_EQ(ship.customMinima[1].text, "0.30 m");
}

// The title block's boxes: a whole number as written, a box left out empty,
// and --ship-set drawing.KEY=VALUE replacing one box and adding another.
TEST(ShipOverrides, SetTheDrawingBoxesOneByOneOnTopOfTheFile) {
  ShipOverrides overrides;
  overrides.settings = {"drawing.revision=C", "drawing.approved_by=Class Office"};
  const ShipParticulars ship = readText(
      shipFileText({}, {"[drawing]", "yard = \"Harbour Yard\"", "hull_number = 2417",
                        "revision = \"B\""}),
      overrides);
  EXPECT_EQ(ship.drawing.yard, "Harbour Yard");
  EXPECT_EQ(ship.drawing.hullNumber, "2417");
  EXPECT_EQ(ship.drawing.revision, "C");
  EXPECT_EQ(ship.drawing.approvedBy, "Class Office");
  EXPECT_EQ(ship.drawing.drawingNumber, "");
  EXPECT_EQ(ship.drawing.drawnBy, "");
  EXPECT_EQ(ship.drawing.checkedBy, "");
}

TEST(ShipOverrides, WithoutAShipFileGiveTheWholeParticulars) {
  ShipOverrides overrides;
  overrides.ruleSets = "tip-guidance";
  overrides.settings = {"skew=\"none\"", "name=MV Scripted"};
  const ShipParticulars ship = shipParticularsFromOverrides(overrides);
  EXPECT_EQ(ship.sourceName, "the command line");
  EXPECT_EQ(ship.name, "MV Scripted");
  EXPECT_EQ(ship.skew, PropellerSkew::None);
}

TEST(ShipOverrides, BadOnesAreUsageFaultsNamingTheOption) {
  const std::string file = shipFileText({});
  const auto fault = [&](std::vector<std::string> settings, std::optional<std::string> rules) {
    ShipOverrides overrides;
    overrides.settings = std::move(settings);
    overrides.ruleSets = std::move(rules);
    const Fault got = faultOf(file, overrides);
    EXPECT_EQ(got.kind, ErrorKind::Usage) << got.message;
    return got.message;
  };
  EXPECT_EQ(fault({"power=0"}, {}), "--ship-set power=0: power = 0: must lie in (0, 1000000] (kW)");
  // One value on one line: a line end cannot smuggle in a second key.
  EXPECT_EQ(fault({"name=\"T\"\npower = 1"}, {}),
            "--ship-set name=\"T\"\\npower = 1: a line end in the setting; --ship-set sets one key "
            "to one value on one line");
  EXPECT_EQ(fault({"name=T\r"}, {}).substr(0, 40), "--ship-set name=T\\r: a line end in the s");
  EXPECT_EQ(fault({"blades=4.5"}, {}),
            "--ship-set blades=4.5: blades = 4.5: must be a whole number (3 to 6)");
  EXPECT_EQ(fault({"skew=medium"}, {}),
            "--ship-set skew=medium: skew = \"medium\": must be \"none\" or \"high\"");
  EXPECT_EQ(fault({"rule_lenght=120"}, {}).substr(0, 58),
            "--ship-set rule_lenght=120: rule_lenght = 120: unknown key");
  EXPECT_EQ(fault({"power"}, {}), "--ship-set power: expected KEY=VALUE, e.g. --ship-set power=6500");
  EXPECT_EQ(fault({"=5"}, {}), "--ship-set =5: expected KEY=VALUE, e.g. --ship-set power=6500");
  EXPECT_EQ(fault({"power 5=6"}, {}).substr(0, 48), "--ship-set power 5=6: not a TOML key and value: ");
  EXPECT_EQ(fault({}, "lr"),
            "--rules lr: rule_sets = [\"lr\"]: unknown rule set \"lr\"; " + std::string(kKnownRuleSets));
  EXPECT_EQ(fault({}, "custom,"), "--rules custom,: an empty rule set name; expected NAME[,NAME]");
  EXPECT_EQ(fault({}, "custom"),
            "--rules custom: [custom_minima] is missing: rule set \"custom\" needs the designer's "
            "minima, e.g. a = \"0.25D\"");

  ShipOverrides rulesOnly;
  rulesOnly.settings = {"skew=high"};
  try {
    shipParticularsFromOverrides(rulesOnly);
    ADD_FAILURE() << "no error without rule sets";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::Usage);
    EXPECT_EQ(std::string(error.what()).substr(0, 44), "the command line: rule_sets is missing: name");
  }
}

}  // namespace
}  // namespace propclear
