// The clearance rules in a run, through the built program: the ship file
// found beside the design, the table after a completed run, the JSON member,
// --strict, and a bad ship file that stops the run before any file changes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hostile_run.h"
#include "sample_design.h"
#include "test_support.h"

namespace propclear {
namespace {

namespace fs = std::filesystem;
using test::ProcessResult;
using test::readFile;
using test::runPropclear;
using test::writeFile;

constexpr const char* kShip =
    "name = \"MV Test\"\n"
    "rule_length = 118.0\n"
    "block_coefficient = 0.72\n"
    "power = 6500.0\n"
    "blades = 4\n"
    "rudder_thickness = 0.55\n"
    "skew = \"none\"\n"
    "rule_sets = [\"lr-recommended\"]\n";

// The sample design with its ship file beside it and the outputs of an
// earlier run; each run answers the geometry question with "H".
struct ShipFolder : test::RunFolder {
  explicit ShipFolder(const std::string& ship = kShip) : RunFolder(test::sampleDesignFile()) {
    writeFile(*this / "Norvalek.ship.toml", ship);
  }

  ProcessResult run(std::vector<std::string> extra) const {
    extra.insert(extra.begin(), {"--answer", "H"});
    return RunFolder::run(extra);
  }
};

TEST(RuleCheckRun, ShipFileBesideTheDesignGivesTheTableAndTheJsonMember) {
  const ShipFolder folder;
  const ProcessResult result = folder.run({"--json", (folder / "out.json").string()});
  ASSERT_EQ(result.exitStatus, test::kExitCompleted) << result.err;
  EXPECT_NE(result.out.find("Clearance rules for MV Test (Norvalek.ship.toml), D = 4.600 m"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("\nOverall: "), std::string::npos) << result.out;
  const std::string json = readFile(folder / "out.json");
  EXPECT_NE(json.find("\"ruleCheck\": {"), std::string::npos);
  EXPECT_EQ(test::splitCrLfLines(readFile(folder / "Norvalek.SON")).size(), 38u);
}

TEST(RuleCheckRun, JsonOnStandardOutputKeepsTheTableOnStandardError) {
  const ShipFolder folder;
  const ProcessResult result = folder.run({"--json", "-"});
  ASSERT_EQ(result.exitStatus, test::kExitCompleted) << result.err;
  EXPECT_EQ(result.out.front(), '{');
  EXPECT_EQ(result.out.find("Overall: "), std::string::npos);
  EXPECT_NE(result.err.find("Overall: "), std::string::npos) << result.err;
}

TEST(RuleCheckRun, StrictEndsWithStatusFourOnlyWhenABindingRuleFails) {
  const ShipFolder folder;
  // A small power asks for little tip clearance; a huge one for more than any stern gives.
  EXPECT_EQ(folder.run({"--strict", "--ship-set", "power=100", "--ship-set", "rudder_thickness=0.1"})
                .exitStatus,
            test::kExitCompleted);
  EXPECT_EQ(folder.run({"--strict", "--ship-set", "power=60000"}).exitStatus,
            test::kExitStrictOverlap);
  EXPECT_EQ(folder.run({"--ship-set", "power=60000"}).exitStatus, test::kExitCompleted);
}

TEST(RuleCheckRun, BadShipFileStopsTheRunBeforeAnyFileChanges) {
  const ShipFolder folder(std::string(kShip) + "colour = \"red\"\n");
  const ProcessResult result = folder.run({});
  EXPECT_EQ(result.exitStatus, test::kExitError);
  EXPECT_NE(result.err.find("Norvalek.ship.toml:9"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("colour"), std::string::npos) << result.err;
  EXPECT_EQ(folder.file("Norvalek.SON"), test::kEarlierReport);
  EXPECT_EQ(folder.file("Norvalek.SCR"), test::kEarlierScript);

  const ShipFolder good;
  const ProcessResult override = good.run({"--ship-set", "blades=9"});
  EXPECT_EQ(override.exitStatus, test::kExitError);
  EXPECT_NE(override.err.find("--ship-set blades=9"), std::string::npos) << override.err;
  EXPECT_EQ(good.file("Norvalek.SON"), test::kEarlierReport);
}

TEST(RuleCheckRun, WithoutAShipFileNothingIsCheckedUnlessRulesAreGiven) {
  const ShipFolder folder;
  fs::remove(folder / "Norvalek.ship.toml");
  const ProcessResult plain = folder.run({});
  EXPECT_EQ(plain.exitStatus, test::kExitCompleted);
  EXPECT_EQ(plain.out, "");
  const ProcessResult named =
      folder.run({"--ship", "elsewhere.toml"});
  EXPECT_EQ(named.exitStatus, test::kExitError);
  EXPECT_NE(named.err.find("elsewhere.toml"), std::string::npos) << named.err;
  const ProcessResult tip = folder.run({"--rules", "tip-guidance", "--ship-set", "skew=\"high\""});
  EXPECT_EQ(tip.exitStatus, test::kExitCompleted) << tip.err;
  EXPECT_NE(tip.out.find("tip-guidance"), std::string::npos) << tip.out;
}

}  // namespace
}  // namespace propclear
