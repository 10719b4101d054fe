// What the command line adds to the plain run, through the built program: a
// design file of any name with its outputs beside it, --strict, and an
// answer given beforehand that is not echoed.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sample_design.h"
#include "test_support.h"

namespace propclear {
namespace {

namespace fs = std::filesystem;
using test::ProcessResult;
using test::readFile;
using test::runPropclear;
using test::ScratchDir;
using test::writeFile;

std::string designText(double propellerCentreX = 4.0) {
  DesignData design = test::sampleDesign();
  design.propellerCentreX = propellerCentreX;
  return test::designFileText(design);
}

TEST(DesignFileArgument, OutputsGoBesideItUnderItsStemAsThePlainRunWritesThem) {
  ScratchDir dir;
  fs::create_directory(dir / "ships");
  writeFile(dir / "ships" / "hull12.TSK", designText());
  writeFile(dir / "Norvalek.TSK", designText());
  const ProcessResult named =
      runPropclear({"-C", dir.path().string(), "ships/hull12.TSK", "--no-window", "--answer", "H"});
  ASSERT_EQ(named.exitStatus, test::kExitCompleted) << named.err;
  const ProcessResult plain =
      runPropclear({"-C", dir.path().string(), "--no-window", "--answer", "H"});
  ASSERT_EQ(plain.exitStatus, test::kExitCompleted) << plain.err;
  EXPECT_EQ(readFile(dir / "ships" / "hull12.SON"), readFile(dir / "Norvalek.SON"));
  EXPECT_EQ(readFile(dir / "ships" / "hull12.SCR"), readFile(dir / "Norvalek.SCR"));
  EXPECT_FALSE(fs::exists(dir / "ships" / "Norvalek.SON"));
}

TEST(DesignFileArgument, LowerCaseNameGivesLowerCaseOutputsAndWrongGeometryEmptiesOnlyItsReport) {
  ScratchDir dir;
  writeFile(dir / "stern.tsk", designText());
  writeFile(dir / "stern.scr", "earlier script\r\n");
  const ProcessResult result =
      runPropclear({(dir / "stern.tsk").string(), "--no-window", "--answer", "E"});
  EXPECT_EQ(result.exitStatus, test::kExitWrongGeometry) << result.err;
  EXPECT_EQ(readFile(dir / "stern.son"), "");
  EXPECT_EQ(readFile(dir / "stern.scr"), "earlier script\r\n");
}

TEST(DesignFileArgument, MissingFileNamesTheWholePathAndTwoFilesAreRefused) {
  ScratchDir dir;
  const ProcessResult missing =
      runPropclear({"-C", dir.path().string(), "hull.TSK", "--no-window", "--answer", "H"});
  EXPECT_EQ(missing.exitStatus, test::kExitError);
  EXPECT_NE(missing.err.find("cannot open " + (dir / "hull.TSK").string() +
                             ": No such file or directory"),
            std::string::npos)
      << missing.err;
  EXPECT_FALSE(fs::exists(dir / "hull.SON"));
  const ProcessResult two = runPropclear({"a.TSK", "b.TSK", "--no-window"});
  EXPECT_EQ(two.exitStatus, test::kExitError);
  EXPECT_NE(two.err.find("more than one design file"), std::string::npos) << two.err;
}

TEST(Strict, OverlapEndsACompletedRunWithStatusFourAndOnlyThen) {
  ScratchDir dir;
  writeFile(dir / "clash.TSK", designText(1.2));  // the blades cut into the stern frame
  writeFile(dir / "clear.TSK", designText());
  const auto run = [&dir](const char* file, std::vector<std::string> extra) {
    std::vector<std::string> args = {(dir / file).string(), "--no-window", "--answer", "H"};
    args.insert(args.end(), extra.begin(), extra.end());
    return runPropclear(args);
  };
  const ProcessResult strictClash = run("clash.TSK", {"--strict"});
  EXPECT_EQ(strictClash.exitStatus, test::kExitStrictOverlap) << strictClash.err;
  EXPECT_NE(strictClash.err.find("clearance a: the blade overlaps the stern contour by"),
            std::string::npos)
      << strictClash.err;
  EXPECT_EQ(test::splitCrLfLines(readFile(dir / "clash.SON")).size(), 38u)
      << "the report is written all the same";
  EXPECT_EQ(run("clash.TSK", {}).exitStatus, test::kExitCompleted);
  EXPECT_EQ(run("clear.TSK", {"--strict"}).exitStatus, test::kExitCompleted);
  EXPECT_EQ(run("clash.TSK", {"--strict", "--answer", "E"}).exitStatus, test::kExitWrongGeometry);
}

TEST(AnsweredQuestion, IsNotEchoedWhileAnAskedOneIs) {
  ScratchDir dir;
  writeFile(dir / "Norvalek.TSK", designText());
  const ProcessResult answered =
      runPropclear({"-C", dir.path().string(), "--no-window", "--answer", "H"});
  EXPECT_EQ(answered.exitStatus, test::kExitCompleted);
  EXPECT_EQ(answered.err.find("KIC BODOSLAMA GEOMETRISINDE"), std::string::npos) << answered.err;
  const ProcessResult asked = runPropclear({"-C", dir.path().string(), "--no-window"}, "H\n");
  EXPECT_NE(asked.err.find("KIC BODOSLAMA GEOMETRISINDE"), std::string::npos) << asked.err;
}

TEST(PlotSize, MalformedSizesAreUsageErrorsBeforeAnythingIsRead) {
  for (const char* size : {"1600", "0x100", "100x", "x100", "100x100x3", "abcxdef", "30000x10"}) {
    const ProcessResult result = runPropclear({"--plot-size", size, "--no-window"});
    EXPECT_EQ(result.exitStatus, test::kExitError) << size;
    EXPECT_NE(result.err.find("--plot-size takes WIDTHxHEIGHT"), std::string::npos)
        << size << ": " << result.err;
  }
}

}  // namespace
}  // namespace propclear
