// The run's endings and what each leaves on disk, through the built program.

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
using test::ScratchDir;
using test::splitCrLfLines;
using test::writeFile;

constexpr const char* kDesign = "Norvalek.TSK";
constexpr const char* kReport = "Norvalek.SON";
constexpr const char* kScript = "Norvalek.SCR";
using test::kEarlierReport;
using test::kEarlierScript;

using test::kExitCompleted;
using test::kExitContourTooLong;
using test::kExitError;
using test::kExitWrongGeometry;

using Folder = test::RunFolder;

std::string sampleFile() { return test::designFileText(test::sampleDesign()); }

void expectCompleted(const Folder& folder, const ProcessResult& result) {
  EXPECT_EQ(result.exitStatus, kExitCompleted) << result.err;
  const std::string report = folder.file(kReport);
  EXPECT_EQ(splitCrLfLines(report).size(), 38u);
  EXPECT_EQ(report.substr(report.size() - 2), "\r\n");
  const std::string script = folder.file(kScript);
  EXPECT_NE(script, kEarlierScript);
  EXPECT_EQ(script.substr(0, 8), "Limits\r\n");
  for (const std::string& text : {report, script}) {
    EXPECT_EQ(text.find("nan"), std::string::npos);
    EXPECT_EQ(text.find("inf"), std::string::npos);
  }
}

void expectWrongGeometry(const Folder& folder, const ProcessResult& result) {
  EXPECT_EQ(result.exitStatus, kExitWrongGeometry) << result.err;
  EXPECT_EQ(folder.file(kReport), "");
  EXPECT_EQ(folder.file(kScript), kEarlierScript);
}

TEST(RunEndings, AnswersThatGoOnComplete) {
  for (const std::string answer : {"H", "h", "", " E", "E ", "EVET", "x"}) {
    SCOPED_TRACE("answer \"" + answer + "\"");
    const Folder folder(sampleFile());
    expectCompleted(folder, folder.run({"--answer", answer}));
  }
}

TEST(RunEndings, OnlyExactlyEOrLowerEReportsWrongGeometry) {
  for (const std::string answer : {"E", "e"}) {
    SCOPED_TRACE(answer);
    const Folder folder(sampleFile());
    expectWrongGeometry(folder, folder.run({"--answer", answer}));
  }
}

TEST(RunEndings, TerminalPromptReadsTheAnswer) {
  const Folder wrong(sampleFile());
  expectWrongGeometry(wrong, wrong.run({}, "E\n"));
  const Folder acceptedDefault(sampleFile());
  const ProcessResult result = acceptedDefault.run({}, "\n");
  expectCompleted(acceptedDefault, result);
  EXPECT_NE(result.err.find("KIC BODOSLAMA GEOMETRISINDE YANLISLIK VAR MI E/H <H>"),
            std::string::npos);
  // End of input counts as a cancelled prompt, which goes on like "H".
  const Folder cancelled(sampleFile());
  expectCompleted(cancelled, cancelled.run({}, ""));
}

std::string overlongContourFile() {
  std::string text = sampleFile();
  const std::size_t contourStart = text.find("0.2, 1.2, 1");
  text.erase(contourStart);
  for (int k = 1; k <= 251; ++k) text += std::to_string(0.01 * k) + ", 1.5, 1\r\n";
  return text;
}

TEST(RunEndings, OverlongContourTouchesNoFile) {
  const Folder folder(overlongContourFile());
  fs::remove(folder / kScript);
  const ProcessResult result = folder.run({"--answer", "H"});
  EXPECT_EQ(result.exitStatus, kExitContourTooLong);
  EXPECT_NE(result.err.find("Kic Bodoslama geometrisi data girisinde hata var."), std::string::npos);
  EXPECT_EQ(folder.file(kReport), kEarlierReport);
  EXPECT_FALSE(fs::exists(folder / kScript));
}

TEST(RunEndings, MissingDesignFileIsAnErrorBeforeAnyFileIsTouched) {
  const Folder folder(sampleFile());
  fs::remove(folder / kDesign);
  const ProcessResult result = folder.run({"--answer", "H"});
  EXPECT_EQ(result.exitStatus, kExitError);
  EXPECT_NE(result.err.find("Norvalek.TSK"), std::string::npos) << result.err;
  EXPECT_EQ(folder.file(kReport), kEarlierReport);
  EXPECT_EQ(folder.file(kScript), kEarlierScript);
}

TEST(RunEndings, MalformedNumberNamesLineAndColumn) {
  std::string text = sampleFile();
  text.replace(text.find("4.6, 0.85"), 9, "4.6, abc");
  const Folder folder(text);
  const ProcessResult result = folder.run({"--answer", "H"});
  EXPECT_EQ(result.exitStatus, kExitError);
  EXPECT_NE(result.err.find("Norvalek.TSK:17:6:"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("abc"), std::string::npos) << result.err;
}

TEST(RunEndings, ArithmeticFaultAfterTheReportWasCreatedLeavesItEmpty) {
  struct Case {
    const char* what;
    void (*spoil)(DesignData&);
  };
  const Case cases[] = {
      {"zero diameter", [](DesignData& d) { d.propellerDiameter = 0; }},
      {"horizontal rudder edge", [](DesignData& d) {
         d.rudderX[4] = 7.9;
         d.rudderZ[4] = d.rudderZ[3];
       }},
      {"contour at the origin", [](DesignData& d) { test::setContour(d, {{0, 0, 1}}); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DesignData design = test::sampleDesign();
    c.spoil(design);
    const Folder folder(test::designFileText(design));
    const ProcessResult result = folder.run({"--answer", "H"});
    EXPECT_EQ(result.exitStatus, kExitError);
    EXPECT_NE(result.err.find("propclear: error:"), std::string::npos) << result.err;
    EXPECT_EQ(folder.file(kReport), "");
    EXPECT_EQ(folder.file(kScript), kEarlierScript);
  }
}

TEST(RunEndings, WorkFolderNameIsTakenAsItIs) {
  ScratchDir parent;
  const fs::path spaced = parent / "stern ";
  fs::create_directory(spaced);
  writeFile(spaced / kDesign, sampleFile());
  const ProcessResult result =
      runPropclear({"-C", spaced.string(), "--no-window", "--answer", "H"});
  EXPECT_EQ(result.exitStatus, kExitCompleted) << result.err;
  EXPECT_TRUE(fs::exists(spaced / kReport));
  EXPECT_FALSE(fs::exists(parent / "stern" / kReport));
}

TEST(CommandLine, HelpVersionAndUnknownOptions) {
  const ProcessResult help = runPropclear({"--help"});
  EXPECT_EQ(help.exitStatus, 0);
  for (const char* option : {"-C DIR", "--no-window", "--answer TEXT", "--plot FILE", "--dxf FILE",
                             "--json FILE", "--report-pdf FILE", "--version", "Exit status"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  const ProcessResult version = runPropclear({"--version"});
  EXPECT_EQ(version.exitStatus, 0);
  EXPECT_EQ(version.out.rfind("propclear ", 0), 0u);
  const ProcessResult unknown = runPropclear({"--frobnicate"});
  EXPECT_EQ(unknown.exitStatus, kExitError);
  EXPECT_NE(unknown.err.find("--frobnicate"), std::string::npos);
  const ProcessResult missing = runPropclear({"--answer"});
  EXPECT_EQ(missing.exitStatus, kExitError);
  EXPECT_NE(missing.err.find("needs a value"), std::string::npos);
}

}  // namespace
}  // namespace propclear
