// The program used as an attacker or a careless user would: outputs aimed
// at devices, links and the program's own inputs, standard output that
// cannot be written, ship files and options built to break the reader or to
// forge the terminal's text, unusable batch entries. Each case stops with a
// message (or goes on safely) and leaves every file it does not own as it
// was. Cases that need a user other than the super-user run as nobody.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "design/read_design_data.h"
#include "hostile_run.h"
#include "report/write_report.h"
#include "test_support.h"

namespace propclear {
namespace {

namespace fs = std::filesystem;
using test::isRoot;
using test::kEarlierReport;
using test::kNobody;
using test::kExitCompleted;
using test::kExitError;
using test::ProcessResult;
using test::readFile;
using test::RunFolder;
using test::ScratchDir;
using test::writeFile;

constexpr const char* kShipFile = "Norvalek.ship.toml";
constexpr const char* kEarlierRows = "earlier rows\n";

std::string exampleShipWith(const std::string& from, const std::string& to) {
  return test::replaced(readFile(test::examplesDir() / kShipFile), from, to);
}

// A folder holding the example design (and ship file) for the study commands.
class ExampleFolder : public ScratchDir {
 public:
  ExampleFolder() {
    fs::copy_file(test::examplesDir() / designFileName, *this / designFileName);
    fs::copy_file(test::examplesDir() / kShipFile, *this / kShipFile);
  }
  std::string design() const { return (*this / designFileName).string(); }
};

std::vector<std::string> withProgram(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {PROPCLEAR_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  return argv;
}

// Runs the program with standard output on /dev/full.
ProcessResult runIntoFullDisk(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"sh", "-c", "exec \"$0\" \"$@\" >/dev/full"};
  const std::vector<std::string> program = withProgram(args);
  argv.insert(argv.end(), program.begin(), program.end());
  return test::runProgram(argv);
}

// Runs the program as nobody, in `folder` opened to everyone for the run.
ProcessResult runAsNobody(const ScratchDir& folder, const std::vector<std::string>& args) {
  fs::permissions(folder.path(), fs::perms(0777));
  std::vector<std::string> argv = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
  const std::vector<std::string> program = withProgram(args);
  argv.insert(argv.end(), program.begin(), program.end());
  return test::runProgram(argv);
}

void expectFailure(const ProcessResult& result, const std::string& gist) {
  EXPECT_EQ(result.exitStatus, kExitError) << result.err;
  EXPECT_NE(result.err.find(gist), std::string::npos) << result.err;
}

TEST(HostileUse, AnAnswerThatCannotReachStandardOutputIsAnError) {
  const ExampleFolder folder;
  const std::vector<std::vector<std::string>> commands = {
      {"solve", folder.design(), "--rules", "none", "--maximise", "diameter", "--range", "4:5"},
      {"-C", folder.path().string(), "--no-window", "--answer", "H"},  // the rule table
      {"sweep", folder.design(), "--vary", "diameter=4.5,4.6"},
      {"--help"},
  };
  for (const std::vector<std::string>& command : commands) {
    SCOPED_TRACE(command.front());
    expectFailure(runIntoFullDisk(command), "No space left on device");
  }
}

TEST(HostileUse, OutputsWriteIntoDevicesThroughLinksAndNeverReplaceThem) {
  const ExampleFolder folder;
  fs::create_symlink("/dev/stdout", folder / "out");
  const ProcessResult solve = test::runPropclear(
      {"solve", folder.design(), "--rules", "none", "--maximise", "diameter", "--range", "4:5", "--write",
       (folder / "out").string()});
  EXPECT_EQ(solve.exitStatus, kExitCompleted) << solve.err;
  EXPECT_TRUE(fs::is_symlink(folder / "out"));
  EXPECT_NE(solve.out.find("STERN FRAME"), std::string::npos) << "the design went to the link's device";
}

TEST(HostileUse, OutputsNeverReplaceAnInputOfTheSameCommand) {
  const ExampleFolder folder;
  const std::string design = readFile(folder / designFileName);
  fs::create_hard_link(folder / designFileName, folder / "other-name.TSK");
  const std::vector<std::vector<std::string>> commands = {
      {"sweep", folder.design(), "--vary", "diameter=4.5", "--csv", folder.design()},
      {"sweep", folder.design(), "--vary", "diameter=4.5", "--jsonl", (folder / kShipFile).string()},
      {"sweep", folder.design(), "--vary", "diameter=4.5", "--csv", (folder / "other-name.TSK").string()},
      {"solve", folder.design(), "--rules", "none", "--maximise", "diameter", "--range", "4:5", "--write", folder.design()},
      {"batch", folder.path().string(), "--csv", (folder / "other-name.TSK").string()},
      {"-C", folder.path().string(), "--no-window", "--answer", "H", "--json", (folder / kShipFile).string()},
  };
  for (const std::vector<std::string>& command : commands) {
    SCOPED_TRACE(command.front() + " " + command.back());
    const ProcessResult result = test::runPropclear(command);
    EXPECT_EQ(result.exitStatus, kExitError) << result.err;
    EXPECT_EQ(readFile(folder / designFileName), design);
    EXPECT_EQ(readFile(folder / kShipFile), readFile(test::examplesDir() / kShipFile));
  }
  const ProcessResult emptyName =
      test::runPropclear({"sweep", folder.design(), "--vary", "diameter=4.5", "--csv", ""});
  expectFailure(emptyName, "the file name is empty");
  EXPECT_EQ(emptyName.out, "");
}

TEST(HostileUse, ShipFilesThatBreakTheReaderStopTheRunBeforeAnyFileChanges) {
  std::string deepKey = "a";
  for (int part = 0; part < 250'000; ++part) deepKey += ".a";
  struct Case {
    const char* name;
    std::string ship;
    std::string gist;
  };
  const Case cases[] = {
      {"nested keys", exampleShipWith("name = ", deepKey + " = 1\nname = "), "nested more than 16 deep"},
      {"tiny rule length", exampleShipWith("118.0", "1e-300"), "rule_length = 1e-300: must lie"},
      {"huge rule length", exampleShipWith("118.0", "1e308"), "rule_length = 1e308: must lie"},
      {"huge power", exampleShipWith("6500.0", "1.7e308"), "power = 1.7e308: must lie"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RunFolder folder(test::sampleDesignFile());
    writeFile(folder / kShipFile, c.ship);
    const ProcessResult run = folder.run({"--answer", "H", "--strict"});
    test::expectEnding(run, kExitError, {c.gist});
    EXPECT_EQ(folder.file(reportFileName), kEarlierReport);
  }
}

// A ship or propeller file beside the design that is a link leading nowhere
// (or to itself) is an error, not a run without rules or with the B-series
// outline.
TEST(HostileUse, ASettingsFileLinkThatLeadsNowhereIsAnErrorNotARunWithoutIt) {
  for (const std::string kind : {"ship", "propeller"}) {
    const std::string beside = "Norvalek." + kind + ".toml";
    for (const std::string& target : {std::string("missing.toml"), beside}) {
      SCOPED_TRACE(beside + " -> " + target);
      const RunFolder folder(test::sampleDesignFile());
      fs::create_symlink(target, folder / beside);
      const ProcessResult run = folder.run({"--answer", "H", "--strict"});
      test::expectEnding(run, kExitError,
                         {beside + ": cannot read the " + kind + " file: it is a link"});
      EXPECT_EQ(folder.file(reportFileName), kEarlierReport);
    }
  }
}

TEST(HostileUse, KernelFilesAreRefusedInsteadOfWaitedFor) {
  const char* kernelFile = isRoot() ? "/proc/kmsg" : "/proc/self/status";
  const RunFolder folder(test::sampleDesignFile());
  fs::remove(folder / designFileName);
  fs::create_symlink(kernelFile, folder / designFileName);
  test::expectEnding(folder.run(), kExitError, {"it is a file of the kernel"});
  const RunFolder shipFolder(test::sampleDesignFile());
  fs::create_symlink(kernelFile, shipFolder / kShipFile);
  test::expectEnding(shipFolder.run(), kExitError, {"it is a file of the kernel"});
}

TEST(HostileUse, TerminalControlsFromTheShipFileAndOptionsReachTheTerminalEscaped) {
  const RunFolder folder(test::sampleDesignFile());
  writeFile(folder / kShipFile,
            exampleShipWith("\"MV Norvalek\"", "\"MV\\u001b[2J\\nOverall: meets\\r\""));
  const ProcessResult run = folder.run({"--answer", "H"});
  EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find('\r'), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("MV\\e[2J\\nOverall: meets\\r"), std::string::npos) << run.out;
  std::size_t verdictLines = 0;
  for (std::size_t at = run.out.find("\nOverall:"); at != std::string::npos;
       at = run.out.find("\nOverall:", at + 1)) {
    ++verdictLines;
  }
  EXPECT_EQ(verdictLines, 1u) << "only the run's own verdict starts a line:\n" << run.out;

  writeFile(folder / kShipFile, exampleShipWith("name = ", "\"key\\u001b[31m\" = 1\nname = "));
  const ProcessResult unknownKey = folder.run({"--answer", "H"});
  test::expectEnding(unknownKey, kExitError, {"key\\e[31m = 1: unknown key"});
  fs::remove(folder / kShipFile);
  const ProcessResult ruleSet = folder.run({"--answer", "H", "--rules", "lr\x1b[2J"});
  test::expectEnding(ruleSet, kExitError, {"unknown rule set \"lr\\e[2J\""});
}

TEST(HostileUse, AShipSettingIsOneValueOnOneLine) {
  const RunFolder folder(test::sampleDesignFile());
  const ProcessResult run =
      folder.run({"--answer", "H", "--rules", "lr-recommended", "--ship-set", "name=\"T\"\npower = 1"});
  test::expectEnding(run, kExitError, {"a line end in the setting"});
  EXPECT_EQ(folder.file(reportFileName), kEarlierReport);
}

TEST(HostileUse, BatchEntriesThatCannotBeReadGetAnErrorRow) {
  ScratchDir scratch;
  fs::create_directory(scratch / "designs");
  fs::copy_file(test::examplesDir() / designFileName, scratch / "designs" / "a.TSK");
  fs::create_symlink("loop.TSK", scratch / "designs" / "loop.TSK");
  fs::create_directory(scratch / "hidden");
  fs::create_symlink(scratch / "hidden" / "x.TSK", scratch / "designs" / "unsearchable.TSK");
  fs::permissions(scratch / "hidden", fs::perms(0700));
  const std::vector<std::string> batch = {"batch", (scratch / "designs").string(), "--csv",
                                          (scratch / "rows.csv").string()};
  const ProcessResult run = isRoot() ? runAsNobody(scratch, batch) : test::runPropclear(batch);
  EXPECT_EQ(run.exitStatus, kExitError) << run.err;  // not every file analysed
  const std::string rows = readFile(scratch / "rows.csv");
  EXPECT_NE(rows.find("a.TSK,analysed"), std::string::npos) << rows;
  EXPECT_NE(rows.find("loop.TSK,error"), std::string::npos) << rows;
  EXPECT_NE(rows.find("unsearchable.TSK,error"), std::string::npos) << rows;
}

TEST(HostileUse, WriteProtectedOutputsOfTheStudiesAreRefusedAsNobody) {
  if (!isRoot()) GTEST_SKIP() << "needs root to run as nobody";
  const ExampleFolder folder;
  for (const char* name : {"protected.csv", "protected.TSK"}) {
    writeFile(folder / name, kEarlierRows);
    ASSERT_EQ(::chown((folder / name).c_str(), kNobody, kNobody), 0);
    fs::permissions(folder / name, fs::perms(0444));
  }
  const std::vector<std::vector<std::string>> commands = {
      {"sweep", folder.design(), "--vary", "diameter=4.5", "--csv", (folder / "protected.csv").string()},
      {"solve", folder.design(), "--rules", "none", "--maximise", "diameter", "--range", "4:5", "--write",
       (folder / "protected.TSK").string()},
  };
  for (const std::vector<std::string>& command : commands) {
    SCOPED_TRACE(command.front());
    expectFailure(runAsNobody(folder, command), "write-protected");
  }
  EXPECT_EQ(readFile(folder / "protected.csv"), kEarlierRows);
  EXPECT_EQ(readFile(folder / "protected.TSK"), kEarlierRows);
}

TEST(HostileUse, ASweepWhosePlotCannotBeWrittenReplacesNoRows) {
  const ExampleFolder folder;
  writeFile(folder / "rows.csv", kEarlierRows);
  const std::vector<std::string> sweep = {"sweep", folder.design(), "--vary", "diameter=4.5,4.6",
                                          "--csv", (folder / "rows.csv").string(), "--plot"};
  std::vector<std::string> intoProc = sweep;
  intoProc.push_back("/proc/sweep.png");
  const ProcessResult intoProcRun = test::runPropclear(intoProc);
  EXPECT_EQ(readFile(folder / "rows.csv"), kEarlierRows);
  if (intoProcRun.err.find("this build cannot save images") != std::string::npos) {
    GTEST_SKIP() << "a build without image export refuses every sweep plot";
  }
  expectFailure(intoProcRun, "--plot: cannot write the file");
  if (!isRoot()) return;
  fs::create_directory(folder / "closed");
  fs::permissions(folder / "closed", fs::perms(0555));
  std::vector<std::string> intoClosed = sweep;
  intoClosed.push_back((folder / "closed" / "sweep.png").string());
  ASSERT_EQ(::chown((folder / "rows.csv").c_str(), kNobody, kNobody), 0);
  expectFailure(runAsNobody(folder, intoClosed), "is not writable");
  EXPECT_EQ(readFile(folder / "rows.csv"), kEarlierRows);
}

}  // namespace
}  // namespace propclear
