// Whole runs that must not destroy a file the program does not own: links
// and hard links are replaced, never written through; devices are written
// into, never replaced; pipes and the like are refused without waiting;
// every file is checked before the report is emptied; a closed standard
// stream never becomes an output; a replaced file keeps its permissions.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cad/write_cad_script.h"
#include "design/read_design_data.h"
#include "hostile_run.h"
#include "report/write_report.h"
#include "run_invariants.h"

namespace propclear {
namespace {

namespace fs = std::filesystem;
using test::Expected;
using test::isRoot;
using test::kNobody;
using test::kEarlierReport;
using test::kEarlierScript;
using test::kExitCompleted;
using test::kExitError;
using test::kExitWrongGeometry;
using test::ProcessResult;
using test::readFile;
using test::RunFolder;
using test::ScratchDir;
using test::writeFile;

constexpr const char* kSomeoneElses = "someone else's file\n";

// The program's command line for a run in `folder` without a window.
std::vector<std::string> runIn(const RunFolder& folder, const std::string& answer,
                               const std::vector<std::string>& extra = {}) {
  std::vector<std::string> argv = {PROPCLEAR_BINARY, "-C", folder.path().string(), "--no-window",
                                   "--answer", answer};
  argv.insert(argv.end(), extra.begin(), extra.end());
  return argv;
}

ProcessResult run(const std::vector<std::string>& argv) { return test::runProgram(argv); }

std::string sampleDesign() { return test::sampleDesignFile(); }

TEST(FileOwnership, LinkedOutputsAreReplacedNotWrittenThrough) {
  const ScratchDir elsewhere;
  const fs::path victim = elsewhere / "victim.txt";
  const fs::path notThere = elsewhere / "created-through-a-link.txt";
  struct Case {
    const char* answer;
    const char* name;  // the output whose place a link takes
    fs::path to;       // relative to the work folder when not absolute
    bool hard;
  };
  const Case cases[] = {
      {"E", reportFileName, designFileName, false}, {"H", reportFileName, designFileName, false},
      {"H", reportFileName, designFileName, true},  {"H", reportFileName, victim, false},
      {"H", reportFileName, notThere, false},       {"H", reportFileName, "/dev/full", false},
      {"H", cadScriptFileName, designFileName, true}, {"H", cadScriptFileName, "/dev/full", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + (c.hard ? " hard-linked to " : " linked to ") +
                 c.to.string() + ", answer " + c.answer);
    writeFile(victim, kSomeoneElses);
    const RunFolder folder(sampleDesign());
    fs::remove(folder / c.name);
    if (c.hard) {
      fs::create_hard_link(folder / c.to, folder / c.name);
    } else {
      fs::create_symlink(c.to, folder / c.name);
    }
    const bool wrong = std::string(c.answer) == "E";
    test::expectEnding(run(runIn(folder, c.answer)), wrong ? kExitWrongGeometry : kExitCompleted, {});
    EXPECT_EQ(readFile(folder / designFileName), sampleDesign());
    EXPECT_EQ(readFile(victim), kSomeoneElses);
    EXPECT_FALSE(fs::exists(notThere));
    for (const char* name : {reportFileName, cadScriptFileName}) {
      EXPECT_EQ(fs::symlink_status(folder / name).type(), fs::file_type::regular) << name;
    }
    EXPECT_EQ(readFile(folder / reportFileName), wrong ? "" : test::sampleReport());
  }
}

TEST(FileOwnership, ClosedStandardStreamNeverBecomesTheReport) {
  // The question on the terminal, answered by accepting the default, or
  // cancelled by the closed standard input.
  for (const char* closing : {"0<&-", "1>&-", "2>&-"}) {
    SCOPED_TRACE(closing);
    const RunFolder folder(sampleDesign());
    const ProcessResult result =
        test::runProgram({"sh", "-c", std::string("exec \"$0\" \"$@\" ") + closing, PROPCLEAR_BINARY,
                          "-C", folder.path().string(), "--no-window"},
                         "\n");
    EXPECT_EQ(result.exitStatus, kExitCompleted) << result.err;
    EXPECT_EQ(readFile(folder / reportFileName), test::sampleReport());
  }
}

TEST(FileOwnership, DevicesAreWrittenIntoNeverReplaced) {
  // As root a device node of the null device in a scratch folder stands in
  // for /dev/null, which a faulty program would replace for the whole system.
  const ScratchDir devices;
  fs::path nullDevice = "/dev/null";
  if (isRoot()) {
    nullDevice = devices / "null.json";
    if (::mknod(nullDevice.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0 ||
        ::access(nullDevice.c_str(), W_OK) != 0) {
      GTEST_SKIP() << "no device node can be made here to stand in for /dev/null";
    }
  }
  const RunFolder folder(sampleDesign());
  const ProcessResult result =
      run(runIn(folder, "H", {"--json", nullDevice.string(), "--dxf", "/dev/fd/1"}));
  test::expectRun(folder, result, Expected::Completed, {});
  EXPECT_TRUE(fs::is_character_file(fs::symlink_status(nullDevice))) << nullDevice;
  // The drawing went to standard output, a plain file here, whole.
  EXPECT_EQ(result.out.rfind("  0\r\nSECTION\r\n", 0), 0u) << result.out.substr(0, 80);
  EXPECT_TRUE(result.out.ends_with("EOF\r\n"));
}

// Runs a command as the user nobody.
const std::vector<std::string> kAsNobody = {"setpriv", "--reuid=65534", "--regid=65534",
                                            "--clear-groups"};

// Why nobody cannot run the program on the design file in `folder`, or nothing.
std::optional<std::string> whyNobodyCannotRun(const fs::path& folder) {
  std::vector<std::string> probe = kAsNobody;
  probe.insert(probe.end(), {"test", "-x", PROPCLEAR_BINARY, "-a", "-r",
                             (folder / designFileName).string()});
  const ProcessResult result = run(probe);
  if (result.exitStatus == 0) return std::nullopt;
  return "nobody cannot run " + std::string(PROPCLEAR_BINARY) + " on " + folder.string() + " " +
         result.err;
}

TEST(FileOwnership, FolderThatTakesNoNewFileStopsTheRunBeforeAnyFileChanges) {
  // The folder belongs to someone else (root) or is write-protected; the
  // earlier outputs in it may be written by anyone.
  for (const bool earlierOutputs : {true, false}) {
    SCOPED_TRACE(earlierOutputs ? "with earlier outputs" : "without earlier outputs");
    const RunFolder folder(sampleDesign());
    for (const char* name : {reportFileName, cadScriptFileName}) {
      if (earlierOutputs) {
        fs::permissions(folder / name, fs::perms(0666));
      } else {
        fs::remove(folder / name);
      }
    }
    std::vector<std::string> argv;
    if (isRoot()) {
      fs::permissions(folder.path(), fs::perms(0755));
      if (const std::optional<std::string> why = whyNobodyCannotRun(folder.path())) {
        GTEST_SKIP() << *why;
      }
      argv = kAsNobody;
    } else {
      fs::permissions(folder.path(), fs::perms(0555));
    }
    const std::vector<std::string> program = runIn(folder, "H");
    argv.insert(argv.end(), program.begin(), program.end());
    test::expectEnding(run(argv), kExitError,
                       {"propclear: error: Norvalek.SON: cannot write the file: the folder \"" +
                        folder.path().string() + "\" is not writable (Permission denied)"});
    fs::permissions(folder.path(), fs::perms(0755));
    EXPECT_EQ(test::strayFiles(folder.path()), "");
    if (earlierOutputs) {
      EXPECT_EQ(readFile(folder / reportFileName), kEarlierReport);
      EXPECT_EQ(readFile(folder / cadScriptFileName), kEarlierScript);
    } else {
      EXPECT_FALSE(fs::exists(folder / reportFileName));
    }
  }
}

TEST(FileOwnership, NamesAreCheckedAgainstTheFileSystemsLimitsBeforeAnyFileChanges) {
  const ScratchDir exports;
  const std::size_t longestName =
      static_cast<std::size_t>(::pathconf(exports.path().c_str(), _PC_NAME_MAX));
  // The longest name there can be: its temporary file still fits.
  const RunFolder longest(sampleDesign());
  const fs::path drawing = exports / (std::string(longestName - 4, 'y') + ".dxf");
  test::expectRun(longest, run(runIn(longest, "H", {"--dxf", drawing.string()})),
                  Expected::Completed, {});
  EXPECT_TRUE(readFile(drawing).ends_with("EOF\r\n"));

  std::string deepFolder = exports.path().string();
  while (deepFolder.size() < 4200) deepFolder += "/.";
  const std::pair<fs::path, const char*> tooLong[] = {
      {exports / (std::string(longestName - 3, 'y') + ".dxf"), "the name is longer than the"},
      {fs::path(deepFolder) / "stern.dxf", "the path is longer than the"},
  };
  for (const auto& [path, reason] : tooLong) {
    SCOPED_TRACE(reason);
    const RunFolder folder(sampleDesign());
    test::expectRun(folder, run(runIn(folder, "H", {"--dxf", path.string()})),
                    Expected::ErrorBeforeReport, {"cannot write the file given to --dxf", reason});
  }
}

TEST(FileOwnership, ExportLinksAreReplacedNotWrittenThrough) {
  bool plotExported = true;
  for (const char* option : {"--json", "--dxf", "--plot"}) {
    SCOPED_TRACE(option);
    const ScratchDir exports;
    writeFile(exports / "victim.svg", kSomeoneElses);
    fs::create_symlink(exports / "victim.svg", exports / "out.svg");
    const RunFolder folder(sampleDesign());
    const ProcessResult result = run(runIn(folder, "H", {option, (exports / "out.svg").string()}));
    if (std::string(option) == "--plot" && result.err.find("no image export") != std::string::npos) {
      plotExported = false;
      continue;
    }
    test::expectRun(folder, result, Expected::Completed, {});
    EXPECT_EQ(readFile(exports / "victim.svg"), kSomeoneElses);
    EXPECT_EQ(fs::symlink_status(exports / "out.svg").type(), fs::file_type::regular);
  }
  if (!plotExported) GTEST_SKIP() << "--plot not run: this build has no image export";
}

TEST(FileOwnership, ReplacedFilesKeepTheirPermissionsAndOwner) {
  const ScratchDir exports;
  writeFile(exports / "results.json", "earlier results\n");
  fs::permissions(exports / "results.json", fs::perms(0604));
  const RunFolder folder(sampleDesign());
  fs::permissions(folder / cadScriptFileName, fs::perms(0600));
  fs::permissions(folder / reportFileName, fs::perms(0640));
  if (isRoot()) {
    ASSERT_EQ(::chown((folder / cadScriptFileName).c_str(), kNobody, kNobody), 0);
  }

  test::expectRun(folder, run(runIn(folder, "H", {"--json", (exports / "results.json").string()})),
                  Expected::Completed, {});
  EXPECT_EQ(fs::status(folder / cadScriptFileName).permissions(), fs::perms(0600));
  EXPECT_EQ(fs::status(folder / reportFileName).permissions(), fs::perms(0640));
  EXPECT_EQ(fs::status(exports / "results.json").permissions(), fs::perms(0604));
  if (!isRoot()) GTEST_SKIP() << "owner not checked: only the super-user can give a file away";
  struct stat script {};
  ASSERT_EQ(::stat((folder / cadScriptFileName).c_str(), &script), 0);
  EXPECT_EQ(script.st_uid, kNobody);
  EXPECT_EQ(script.st_gid, kNobody);
}

TEST(FileOwnership, PipesAreRefusedWithoutWaiting) {
  const ScratchDir exports;
  ASSERT_EQ(::mkfifo((exports / "stern.dxf").c_str(), 0600), 0);
  const std::pair<const char*, std::string> cases[] = {
      {reportFileName, "Norvalek.SON: cannot write the file"},
      {cadScriptFileName, "Norvalek.SCR: cannot write the file"},
      {nullptr, "cannot write the file given to --dxf"},
  };
  for (const auto& [name, gist] : cases) {
    SCOPED_TRACE(gist);
    const RunFolder folder(sampleDesign());
    std::vector<std::string> argv = {"timeout", "60"};
    const std::vector<std::string> program =
        name != nullptr ? runIn(folder, "H") : runIn(folder, "H", {"--dxf", (exports / "stern.dxf").string()});
    argv.insert(argv.end(), program.begin(), program.end());
    const fs::path pipe = name != nullptr ? folder / name : exports / "stern.dxf";
    if (name != nullptr) {
      fs::remove(pipe);
      ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    }
    test::expectEnding(run(argv), kExitError,
                       {gist, "it is not a regular file (a device, pipe or socket)"});
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(pipe)));
    if (name != cadScriptFileName) {
      EXPECT_EQ(readFile(folder / cadScriptFileName), kEarlierScript);
    }
    if (name != reportFileName) {
      EXPECT_EQ(readFile(folder / reportFileName), kEarlierReport);
    }
  }
}

}  // namespace
}  // namespace propclear
