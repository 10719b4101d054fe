#include "common/output_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

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

TEST(OutputFile, TruncateEmptiesAtOnceAndEndsLinesWithCrLf) {
  ScratchDir dir;
  writeFile(dir / "out.txt", "old content");
  OutputFile file(dir / "out.txt", "out.txt", OutputFile::Mode::Truncate);
  EXPECT_EQ(readFile(dir / "out.txt"), "");
  file.writeLine("one");
  file.writeLine("");
  file.commit();
  EXPECT_EQ(readFile(dir / "out.txt"), "one\r\n\r\n");
}

TEST(OutputFile, ReplaceKeepsTheEarlierFileUntilCommit) {
  ScratchDir dir;
  writeFile(dir / "out.txt", "old");
  {
    OutputFile file(dir / "out.txt", "out.txt", OutputFile::Mode::ReplaceOnCommit);
    file.writeLine("new");
    EXPECT_EQ(readFile(dir / "out.txt"), "old");
    file.commit();
  }
  EXPECT_EQ(readFile(dir / "out.txt"), "new\r\n");
  EXPECT_EQ(fileCount(dir.path()), 1u);
}

TEST(OutputFile, AbandonedReplaceLeavesNoTraceAndTheEarlierFileIntact) {
  ScratchDir dir;
  writeFile(dir / "out.txt", "old");
  {
    OutputFile file(dir / "out.txt", "out.txt", OutputFile::Mode::ReplaceOnCommit);
    file.writeLine("half");
  }
  EXPECT_EQ(readFile(dir / "out.txt"), "old");
  EXPECT_EQ(fileCount(dir.path()), 1u);
}

TEST(OutputFile, FailuresNameTheFileAndTheSystemsReason) {
  ScratchDir dir;
  try {
    OutputFile file(dir / "missing" / "out.txt", "out.txt", OutputFile::Mode::Truncate);
    FAIL() << "created a file in a missing folder";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::FileSystem);
    EXPECT_STREQ(error.what(), "out.txt: cannot create the file: No such file or directory");
  }
  fs::create_directory(dir / "taken");
  EXPECT_THROW(OutputFile(dir / "taken", "taken", OutputFile::Mode::Truncate), RunError);
}

TEST(OutputFile, AFullDeviceFailsAtTheLatestOnCommit) {
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full on this machine";
  OutputFile file("/dev/full", "full", OutputFile::Mode::Truncate);
  EXPECT_THROW(
      {
        for (int i = 0; i < 10000; ++i) file.writeLine("a line that will not fit anywhere");
        file.commit();
      },
      RunError);
}

}  // namespace
}  // namespace propclear
