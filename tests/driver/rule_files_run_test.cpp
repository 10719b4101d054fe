// Rule files and the stern arrangement through the built program: the
// example's spade rudder and base-line clearance, a sole piece with its heel,
// a yard's rule file from the command line, a bad one that changes no file,
// and `propclear rules list` and `show`.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hostile_run.h"
#include "test_support.h"

namespace propclear {
namespace {

using test::ProcessResult;
using test::readFile;
using test::runPropclear;
using test::writeFile;

// The example design and ship file, with the outputs of an earlier run.
struct ExampleWithShipFile : test::RunFolder {
  ExampleWithShipFile() : RunFolder(readFile(test::examplesDir() / "Norvalek.TSK")) {
    writeFile(*this / "Norvalek.ship.toml", readFile(test::examplesDir() / "Norvalek.ship.toml"));
  }
};

// The table row of `clearance` judged by `rule`, e.g. "lr-recommended (LR d)".
std::string rowOf(const std::string& table, const std::string& clearance, const std::string& rule) {
  std::size_t at = 0;
  while ((at = table.find('\n' + clearance + ' ', at)) != std::string::npos) {
    const std::string row = table.substr(at + 1, table.find('\n', at + 1) - at - 1);
    if (row.find(rule) != std::string::npos) return row;
    ++at;
  }
  return "no row " + clearance + " " + rule + " in:\n" + table;
}

TEST(RuleFilesRun, TheExampleHasNoHeelUnderItsSpadeRudderAndClearsTheBaseLine) {
  const ExampleWithShipFile folder;
  const ProcessResult result = folder.run({"--answer", "H", "--json", folder.pathOf("out.json")});
  ASSERT_EQ(result.exitStatus, test::kExitCompleted) << result.err;
  EXPECT_NE(rowOf(result.out, "b'", "(LR d)")
                .find("not applicable \u2014 spade rudder, no heel under the disc"),
            std::string::npos)
      << result.out;
  const std::string baseLine = rowOf(result.out, "tip-to-base-line", "(base line)");
  EXPECT_NE(baseLine.find(" 0.500 "), std::string::npos) << baseLine;
  EXPECT_NE(baseLine.find("meets"), std::string::npos) << baseLine;
  EXPECT_NE(rowOf(result.out, "tip-to-contour", "(LR a)").find(" 0.858 "), std::string::npos)
      << result.out;
  // The required values and verdicts of a, b and c as before the rule files.
  EXPECT_NE(rowOf(result.out, "a", "(LR b)").find("1.406  0.306    -0.294  -20.9  below"),
            std::string::npos);
  EXPECT_NE(rowOf(result.out, "b", "(LR a)").find("0.938  0.204    -0.004   -0.4  below"),
            std::string::npos);
  const std::string json = folder.file("out.json");
  EXPECT_NE(json.find("\"verdict\": \"not applicable\",\n        \"reason\": \"spade rudder, no "
                      "heel under the disc\""),
            std::string::npos);
  EXPECT_NE(json.find("\"baseLineClearance_m\": 0.5001"), std::string::npos);
}

TEST(RuleFilesRun, ASolePieceIsJudgedAtTheHeelTheShipFileNames) {
  const ExampleWithShipFile folder;
  const ProcessResult result = folder.run({"--answer", "H", "--ship-set", "rudder=sole-piece",
                                           "--ship-set", "heel = { x = 3.6, z = 0.45 }"});
  ASSERT_EQ(result.exitStatus, test::kExitCompleted) << result.err;
  // The lower tip at z = 0.500 m, 0.050 m above the heel: below 0.03 D = 0.138 m.
  const std::string heel = rowOf(result.out, "b'", "(LR d)");
  EXPECT_NE(heel.find("0.050  0.011  lr-recommended (LR d)"), std::string::npos) << heel;
  EXPECT_NE(heel.find("below the recommended minimum"), std::string::npos) << heel;
  EXPECT_NE(result.out.find("Note: b' (lr-recommended, LR d): the heel the ship file names, "
                            "x = 3.600 m, z = 0.450 m"),
            std::string::npos)
      << result.out;
}

constexpr const char* kYardRules =
    "name = \"yard\"\n"
    "source = \"Yard standard\"\n"
    "[[line]]\n"
    "clearance = \"tip-to-base-line\"\n"
    "letter = \"Y1\"\n"
    "of = \"m\"\n"
    "factor = 0.6\n";

TEST(RuleFilesRun, AYardRuleFileFromTheCommandLineIsNamedLikeABundledOne) {
  const ExampleWithShipFile folder;
  writeFile(folder / "yard.toml", kYardRules);
  const ProcessResult result =
      folder.run({"--answer", "H", "--rules-file", "yard.toml", "--rules", "lr-recommended,yard",
                  "--strict"});
  EXPECT_EQ(result.exitStatus, test::kExitStrictOverlap) << result.err;  // 0.500 < 0.600 m
  EXPECT_NE(rowOf(result.out, "tip-to-base-line", "yard (Y1)").find("below"), std::string::npos);
}

TEST(RuleFilesRun, ABadRuleFileStopsTheRunBeforeAnyFileChanges) {
  const ExampleWithShipFile folder;
  writeFile(folder / "yard.toml", test::replaced(kYardRules, "tip-to-base-line", "keel"));
  const ProcessResult result =
      folder.run({"--answer", "H", "--rules-file", "yard.toml", "--json", folder.pathOf("out.json")});
  EXPECT_EQ(result.exitStatus, test::kExitError);
  EXPECT_NE(result.err.find("yard.toml:4: [line] clearance = \"keel\": unknown clearance"),
            std::string::npos)
      << result.err;
  EXPECT_EQ(folder.file("Norvalek.SON"), test::kEarlierReport);
  EXPECT_EQ(folder.file("Norvalek.SCR"), test::kEarlierScript);
  EXPECT_FALSE(std::filesystem::exists(folder / "out.json"));
}

TEST(RulesCommand, ListsTheBundledSetsAndShowsOneOrAYardFile) {
  const ProcessResult list = runPropclear({"rules", "list"});
  ASSERT_EQ(list.exitStatus, 0) << list.err;
  for (const char* name : {"\nlr-recommended ", "\ntip-guidance ", "\ncustom "}) {
    EXPECT_NE(("\n" + list.out).find(name), std::string::npos) << list.out;
  }
  const ProcessResult show = runPropclear({"rules", "show", "lr-recommended"});
  ASSERT_EQ(show.exitStatus, 0) << show.err;
  EXPECT_NE(show.out.find("edition: July 2000"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("Z=5: 1.275*K*D"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("rudder horn/sole-piece"), std::string::npos) << show.out;

  const test::ScratchDir scratch;
  writeFile(scratch / "yard.toml", kYardRules);
  const ProcessResult yard =
      runPropclear({"rules", "show", "yard", "--rules-file", (scratch / "yard.toml").string()});
  EXPECT_EQ(yard.exitStatus, 0) << yard.err;
  EXPECT_NE(yard.out.find("tip-to-base-line  Y1"), std::string::npos) << yard.out;
  writeFile(scratch / "bad.toml", test::replaced(kYardRules, "0.6", "-0.6"));
  const ProcessResult bad = runPropclear({"rules", "show", (scratch / "bad.toml").string()});
  EXPECT_EQ(bad.exitStatus, 1);
  EXPECT_NE(bad.err.find("bad.toml:7: [line] factor = -0.6: must be greater than 0"),
            std::string::npos)
      << bad.err;
  EXPECT_EQ(runPropclear({"rules", "show", "lloyds"}).exitStatus, 1);
}

}  // namespace
}  // namespace propclear
