// What the command line adds to the plain run, through the built program: a
// design file of any name with its outputs beside it, --strict, and an
// answer given beforehand that is not echoed.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "design/read_design_data.h"
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

// A stern boss swelling aft just above the shaft: every one of the six
// clearances stays positive, but the turning blades' roots sweep through it.
TEST(Strict, SweptVolumeCuttingTheFrameCountsAndClosestTellsWhere) {
  ScratchDir dir;
  DesignData design = readDesignData(test::examplesDir() / "Norvalek.TSK").design;
  design.contourX[sternContourRow][8] = 3.8;  // z = 3.6
  writeFile(dir / "boss.TSK", test::designFileText(design));
  const ProcessResult result = runPropclear(
      {(dir / "boss.TSK").string(), "--no-window", "--answer", "H", "--strict", "--closest"});
  EXPECT_EQ(result.exitStatus, test::kExitStrictOverlap) << result.err;
  EXPECT_EQ(result.err.find("clearance"), std::string::npos) << "no clearance overlaps";
  EXPECT_NE(result.err.find("warning: the swept volume of the turning propeller overlaps the "
                            "stern contour: its point x = 3.795 m, z = 3.579 m lies 0.102 m "
                            "(0.022 D) inside it (blade thickness neglected)\n"),
            std::string::npos)
      << result.err;
  const std::vector<std::string> expected = {
      "propclear: closest approach: stern contour overlaps the swept volume: x = 3.795 m, "
      "z = 3.579 m lies 0.102 m (0.022 D) inside it (blade thickness neglected)",
      "propclear: closest approach: rudder leading edge 1.610 m (0.350 D) at x = 6.152 m, "
      "z = 0.723 m; swept volume at x = 4.543 m, r/R = 0.890 below the shaft (blade thickness "
      "neglected)",
      "propclear: closest approach: heel 2.409 m (0.524 D) at x = 1.800 m, z = 0.300 m; swept "
      "volume at x = 4.005 m, r/R = 0.665 below the shaft (blade thickness neglected)"};
  std::vector<std::string> lines;
  std::istringstream err(result.err);
  for (std::string line; std::getline(err, line);) {
    if (line.starts_with("propclear: closest approach: ")) lines.push_back(line);
  }
  EXPECT_EQ(lines, expected);
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

TEST(EditOption, TakesOnlyADesignFileAndNeedsADisplay) {
  ScratchDir dir;
  writeFile(dir / "hull.TSK", designText());
  for (const std::vector<std::string>& extra :
       {std::vector<std::string>{"--plot", "x.png"}, {"--answer", "H"}, {"--no-window"},
        {"--rules", "custom"}}) {
    std::vector<std::string> args = {"--edit", (dir / "hull.TSK").string()};
    args.insert(args.end(), extra.begin(), extra.end());
    const ProcessResult refused = runPropclear(args);
    EXPECT_EQ(refused.exitStatus, test::kExitError) << extra[0];
    EXPECT_NE(refused.err.find("--edit takes only a design file and -C DIR"), std::string::npos)
        << refused.err;
  }
  const ProcessResult headless = test::runProgram(
      {PROPCLEAR_BINARY, "--edit", (dir / "hull.TSK").string()}, "", {},
      {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}});
  EXPECT_EQ(headless.exitStatus, test::kExitError);
  // A build without the desktop front end says so before it looks for a display.
  EXPECT_TRUE(headless.err.find("the design studio needs a display") != std::string::npos ||
              headless.err.find("this build of propclear has no desktop front end") !=
                  std::string::npos)
      << headless.err;
  EXPECT_FALSE(fs::exists(dir / "hull.SON"));
  EXPECT_NE(runPropclear({"--help"}).out.find("propclear --edit [FILE] [-C DIR]"), std::string::npos);
}

}  // namespace
}  // namespace propclear
