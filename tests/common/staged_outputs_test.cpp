#include "common/staged_outputs.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

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
