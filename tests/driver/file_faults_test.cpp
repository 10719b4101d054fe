// File-system faults, end to end through the program: each ends the run with
// a message naming the file and the system's reason, exit status 1, and a
// folder in which no output is half-written: the CAD script is either the
// earlier one or the new one whole.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>

#include "cad/write_cad_script.h"
#include "design/read_design_data.h"
#include "hostile_run.h"
#include "report/write_report.h"
#include "run_invariants.h"

namespace propclear {
namespace {

namespace fs = std::filesystem;
using test::kEarlierReport;
using test::kEarlierScript;
using test::kExitError;
using test::readFile;
using test::RunFolder;

bool isEmptyDirectory(const fs::path& path) { return fs::is_directory(path) && fs::is_empty(path); }

TEST(FileFaults, OwnFileThatIsAFolderStopsTheRunBeforeAnyFileChanges) {
  for (const char* name : {reportFileName, cadScriptFileName}) {
    SCOPED_TRACE(name);
    const RunFolder folder(test::sampleDesignFile());
    fs::remove(folder / name);
    fs::create_directory(folder / name);
    test::expectEnding(folder.run(), kExitError,
                       {std::string("propclear: error: ") + name +
                        ": cannot write the file: it is a folder, not a file"});
    EXPECT_TRUE(isEmptyDirectory(folder / name));
    for (const auto& [other, earlier] : {std::pair{reportFileName, kEarlierReport},
                                         std::pair{cadScriptFileName, kEarlierScript}}) {
      if (other != name) {
        EXPECT_EQ(readFile(folder / other), earlier);
      }
    }
    EXPECT_EQ(test::strayFiles(folder.path()), "");
  }
}

// Limits the size of every file written while it lives, for this process and
// the programs it starts; a write beyond the limit fails with EFBIG instead of
// raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    savedSignal_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    applied_ = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::signal(SIGXFSZ, savedSignal_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool applied() const { return applied_; }

 private:
  rlimit saved_{};
  sighandler_t savedSignal_ = SIG_DFL;
  bool applied_ = false;
};

TEST(FileFaults, ScriptWriteFailingMidWayLeavesTheEarlierScript) {
  // The sample's script is several kilobytes; the run's other files stay small.
  constexpr rlim_t kLimitBytes = 1024;
  const RunFolder folder(test::sampleDesignFile());
  test::ProcessResult result;
  {
    const FileSizeLimit limit(kLimitBytes);
    ASSERT_TRUE(limit.applied());
    result = folder.run();
  }
  test::expectEnding(result, kExitError,
                     {"propclear: error: Norvalek.SCR: cannot write the file: File too large"});
  EXPECT_EQ(readFile(folder / cadScriptFileName), kEarlierScript);
  EXPECT_EQ(readFile(folder / reportFileName), "");
  EXPECT_EQ(test::strayFiles(folder.path()), "");
}

TEST(FileFaults, DesignFileThatIsAFolderIsAReadError) {
  const RunFolder folder("");
  fs::remove(folder / designFileName);
  fs::create_directory(folder / designFileName);
  test::expectEnding(folder.run(), kExitError,
                     {"propclear: error: Norvalek.TSK: cannot read the file: Is a directory"});
  EXPECT_EQ(readFile(folder / reportFileName), kEarlierReport);
  EXPECT_EQ(readFile(folder / cadScriptFileName), kEarlierScript);
}

TEST(FileFaults, DesignFileThatIsAPipeOrADeviceIsRefusedWithoutWaiting) {
  const RunFolder pipe("");
  fs::remove(pipe / designFileName);
  ASSERT_EQ(::mkfifo((pipe / designFileName).c_str(), 0600), 0);
  const RunFolder device("");
  fs::remove(device / designFileName);
  fs::create_symlink("/dev/zero", device / designFileName);
  for (const RunFolder* folder : {&pipe, &device}) {
    test::expectEnding(folder->run(), kExitError,
                       {"propclear: error: Norvalek.TSK: cannot read the file: it is not a "
                        "regular file (a device, pipe or socket)"});
    EXPECT_EQ(readFile(*folder / reportFileName), kEarlierReport);
  }
}

TEST(FileFaults, MissingWorkFolderIsAReadError) {
  const RunFolder parent("");
  const test::ProcessResult result = test::runPropclear(
      {"-C", (parent / "no such folder").string(), "--no-window", "--answer", "H"});
  test::expectEnding(
      result, kExitError,
      {"propclear: error: cannot open " + (parent / "no such folder" / "Norvalek.TSK").string() +
       ": No such file or directory"});
  EXPECT_FALSE(fs::exists(parent / "no such folder"));
}

}  // namespace
}  // namespace propclear
