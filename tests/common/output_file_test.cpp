#include "common/output_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "common/operating_system.h"
#include "common/run_error.h"
#include "common/staged_outputs.h"
#include "test_support.h"

namespace propclear {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::ScratchDir;
using test::writeFile;

std::size_t fileCount(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

TEST(OutputFile, FirstCommitEmptiesTheTargetAndEachLaterOnePutsTheNextVersionInPlace) {
  ScratchDir dir;
  writeFile(dir / "out.txt", "old");
  OutputFile file(dir / "out.txt", "out.txt", OutputFile::Devices::Refuse);
  EXPECT_EQ(readFile(dir / "out.txt"), "old");
  file.commit();
  EXPECT_EQ(readFile(dir / "out.txt"), "");
  file.writeLine("one");
  file.writeLine("");
  EXPECT_EQ(readFile(dir / "out.txt"), "");
  file.commit();
  file.commit();  // nothing new: stays
  EXPECT_EQ(readFile(dir / "out.txt"), "one\r\n\r\n");
  EXPECT_EQ(fileCount(dir.path()), 1u);
}

TEST(OutputFile, VersionSentToTheDiskGoesInPlaceOnlyByItsCommitWithTheLinesAfter) {
  ScratchDir dir;
  writeFile(dir / "out.txt", "old");
  OutputFile file(dir / "out.txt", "out.txt", OutputFile::Devices::Refuse);
  file.writeLine("one");
  file.sendToDisk();
  EXPECT_EQ(readFile(dir / "out.txt"), "old");
  file.writeLine("two");
  file.commit();
  EXPECT_EQ(readFile(dir / "out.txt"), "one\r\ntwo\r\n");
  EXPECT_EQ(fileCount(dir.path()), 1u);
}

TEST(OutputFile, AbandonedVersionLeavesNoTraceAndTheEarlierFileIntact) {
  ScratchDir dir;
  writeFile(dir / "out.txt", "old");
  {
    OutputFile file(dir / "out.txt", "out.txt", OutputFile::Devices::Refuse);
    file.writeLine("half");
  }
  EXPECT_EQ(readFile(dir / "out.txt"), "old");
  EXPECT_EQ(fileCount(dir.path()), 1u);
}

TEST(OutputFile, FailuresNameTheFileAndTheSystemsReason) {
  ScratchDir dir;
  try {
    OutputFile file(dir / "missing" / "out.txt", "out.txt", OutputFile::Devices::Refuse);
    FAIL() << "created a file in a missing folder";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::FileSystem);
    EXPECT_STREQ(error.what(), "out.txt: cannot create the file: No such file or directory");
  }
  fs::create_directory(dir / "taken");
  EXPECT_THROW(OutputFile(dir / "taken", "taken", OutputFile::Devices::WriteInto), RunError);
}

TEST(OutputFile, CheckedStartRefusesInTheWordsOfTheChecksAndMakesNoFileButItsFirstVersion) {
  ScratchDir dir;
  const auto refusal = [](const fs::path& target) -> std::string {
    try {
      OutputFile file(target, "out.txt", OutputFile::Devices::Refuse, OutputFile::Checked{});
    } catch (const RunError& error) {
      EXPECT_EQ(error.kind(), ErrorKind::FileSystem);
      return error.what();
    }
    return "accepted";
  };
  EXPECT_EQ(refusal(dir / "missing" / "out.txt"),
            "out.txt: cannot write the file: the folder \"" + (dir / "missing").string() +
                "\" is not writable (No such file or directory)");
  EXPECT_EQ(refusal(dir / std::string(300, 'n'))
                .rfind("out.txt: cannot write the file: the name is longer", 0),
            0u);
  fs::create_directory(dir / "taken");
  EXPECT_EQ(refusal(dir / "taken"), "out.txt: cannot write the file: it is a folder, not a file");

  writeFile(dir / "out.txt", "old");
  OutputFile file(dir / "out.txt", "out.txt", OutputFile::Devices::Refuse, OutputFile::Checked{});
  EXPECT_EQ(fileCount(dir.path()), 3u) << "the first version's temporary file beside the target";
  file.commit();
  EXPECT_EQ(readFile(dir / "out.txt"), "");
  EXPECT_EQ(fileCount(dir.path()), 2u);
}

TEST(OutputFile, AFullDeviceFailsAtTheLatestOnCommit) {
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full on this machine";
  OutputFile file("/dev/full", "full", OutputFile::Devices::WriteInto);
  EXPECT_THROW(
      {
        for (int i = 0; i < 10000; ++i) file.writeLine("a line that will not fit anywhere");
        file.commit();
      },
      RunError);
}

// Writes two unfinished outputs, then is stopped by `signalNumber`.
[[noreturn]] void interruptedWhileWriting(const ScratchDir& dir, int signalNumber) {
  os::removeTemporaryFilesOnInterruption();
  OutputFile drawing(dir / "out.dxf", "out.dxf", OutputFile::Devices::Refuse);
  drawing.writeLine("half a drawing");
  OutputFile script(dir / "Norvalek.SCR", "Norvalek.SCR", OutputFile::Devices::Refuse);
  ::kill(::getpid(), signalNumber);
  ::_exit(0);
}

TEST(OutputFile, InterruptionRemovesTheTemporaryFilesAndEndsByTheSignal) {
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signalNumber);
    ScratchDir dir;
    writeFile(dir / "out.dxf", "earlier drawing");
    EXPECT_EXIT(interruptedWhileWriting(dir, signalNumber), ::testing::KilledBySignal(signalNumber),
                "");
    EXPECT_EQ(fileCount(dir.path()), 1u) << "a temporary file was left behind";
    EXPECT_EQ(readFile(dir / "out.dxf"), "earlier drawing");
  }
}

// The report's way through a run: emptied at once, written at the end, put
// in place after the outputs staged beside it.
TEST(StagedOutputs, EmptiedFileIsReplacedAgainAfterTheOutputsCommittedWithIt) {
  ScratchDir dir;
  writeFile(dir / "report.txt", "earlier report");
  writeFile(dir / "script.txt", "earlier script");
  OutputFile report(dir / "report.txt", "report.txt", OutputFile::Devices::Refuse);
  report.commit();
  EXPECT_EQ(readFile(dir / "report.txt"), "");

  StagedOutputs outputs;
  outputs.add(dir / "script.txt", "script.txt", OutputFile::Devices::Refuse).writeLine("script");
  outputs.add(dir / "new.txt", "new.txt", OutputFile::Devices::Refuse).writeText("new");
  report.writeLine("report");
  EXPECT_EQ(readFile(dir / "script.txt"), "earlier script");
  outputs.commitAllThen(report);
  EXPECT_EQ(readFile(dir / "script.txt"), "script\r\n");
  EXPECT_EQ(readFile(dir / "new.txt"), "new");
  EXPECT_EQ(readFile(dir / "report.txt"), "report\r\n");
  EXPECT_EQ(fileCount(dir.path()), 3u);
}

TEST(StagedOutputs, FailedCommitLeavesTheLaterOutputsAndTheLastOneAsTheyWere) {
  ScratchDir dir;
  writeFile(dir / "report.txt", "earlier report");
  writeFile(dir / "late.txt", "earlier late");
  {
    OutputFile report(dir / "report.txt", "report.txt", OutputFile::Devices::Refuse);
    StagedOutputs outputs;
    outputs.add(dir / "first.txt", "first.txt", OutputFile::Devices::Refuse).writeText("first");
    outputs.add(dir / "taken", "taken", OutputFile::Devices::Refuse).writeText("lost");
    outputs.add(dir / "late.txt", "late.txt", OutputFile::Devices::Refuse).writeText("late");
    report.writeText("report");
    // A folder with something in it takes the place of an output meanwhile.
    fs::create_directories(dir / "taken" / "inside");
    try {
      outputs.commitAllThen(report);
      FAIL() << "replaced a folder";
    } catch (const RunError& error) {
      EXPECT_EQ(std::string(error.what()).rfind("taken: cannot replace the file: ", 0), 0u)
          << error.what();
    }
  }
  EXPECT_EQ(readFile(dir / "first.txt"), "first");
  EXPECT_EQ(readFile(dir / "late.txt"), "earlier late");
  EXPECT_EQ(readFile(dir / "report.txt"), "earlier report");
  EXPECT_EQ(fileCount(dir.path()), 4u) << "a temporary file was left behind";
}

TEST(StagedOutputs, DeviceGetsItsBytesOnlyWhenItsTurnToCommitComes) {
  int pipeEnds[2];
  ASSERT_EQ(::pipe2(pipeEnds, O_NONBLOCK), 0);
  ScratchDir dir;
  {
    StagedOutputs outputs;
    outputs.add(dir / "taken", "taken", OutputFile::Devices::Refuse).writeText("lost");
    outputs.add("/dev/fd/" + std::to_string(pipeEnds[1]), "pipe", OutputFile::Devices::WriteInto)
        .writeText("results");
    fs::create_directories(dir / "taken" / "inside");
    EXPECT_THROW(outputs.commitAll(), RunError);
  }
  char received[16];
  EXPECT_EQ(::read(pipeEnds[0], received, sizeof received), -1) << "the pipe got the results";
  ::close(pipeEnds[0]);
  ::close(pipeEnds[1]);
}

}  // namespace
}  // namespace propclear

namespace propclear {
namespace {

// Every writer of a file the user names (the studio's Save, a solve's
// --write, a study's rows) refuses an existing file the user may not write,
// as the run does, rather than replacing it through the folder.
TEST(OutputFile, AWriteProtectedFileIsRefusedForAUserWhoMayNotWriteIt) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to become nobody";
  constexpr uid_t nobody = 65534;
  ScratchDir dir;
  fs::permissions(dir.path(), fs::perms(0777));
  writeFile(dir / "design.TSK", "the user's own design\n");
  ASSERT_EQ(::chown((dir / "design.TSK").c_str(), nobody, nobody), 0);
  fs::permissions(dir / "design.TSK", fs::perms(0444));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgid(nobody) != 0 || ::setuid(nobody) != 0) ::_exit(3);
    try {
      OutputFile file(dir / "design.TSK", "design.TSK", OutputFile::Devices::WriteInto);
      file.writeText("replaced\n");
      file.commit();
    } catch (const RunError& error) {
      ::_exit(std::string(error.what()) ==
                      "design.TSK: cannot write the file: the existing file is write-protected"
                  ? 0
                  : 2);
    }
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  EXPECT_EQ(readFile(dir / "design.TSK"), "the user's own design\n");
}

}  // namespace
}  // namespace propclear
