#include "common/output_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>

#include "common/operating_system.h"
#include "common/run_error.h"
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

}  // namespace
}  // namespace propclear
