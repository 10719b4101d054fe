// The DXF drawing and the JSON results of whole runs, read back with real
// readers (ezdxf, Python's json, LibreCAD when installed) and compared with
// the report of the same run.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cad/write_cad_script.h"
#include "design/read_design_data.h"
#include "export_tools.h"
#include "hostile_run.h"
#include "report/write_report.h"
#include "sample_design.h"
#include "test_support.h"

namespace propclear {
namespace {

namespace fs = std::filesystem;
using test::ProcessResult;
using test::readFile;
using test::ScratchDir;
using test::writeFile;

constexpr const char* kEarlierOutput = "earlier output\r\n";

using test::kExitCompleted;
using test::kExitContourTooLong;
using test::kExitError;
using test::kExitWrongGeometry;

// A scratch folder with a design file and no earlier outputs.
struct ExportFolder : test::RunFolder {
  explicit ExportFolder(const DesignData& design) : RunFolder(test::designFileText(design), false) {}
};

// The run's standard error, kept as a file for the checking scripts.
std::string keepMessages(const ExportFolder& folder, const ProcessResult& result) {
  writeFile(folder / "messages.txt", result.err);
  return folder.pathOf("messages.txt");
}

void expectScriptPasses(const std::vector<std::string>& argv) {
  const ProcessResult check = test::runTool(argv);
  EXPECT_EQ(check.exitStatus, 0) << check.out << check.err;
}

void expectDxfMatchesReport(const std::string& drawing, const std::string& report) {
  if (!test::systemPythonHas("ezdxf")) {
    GTEST_SKIP() << "Debian's python3-ezdxf is not installed (scripts/test installs it)";
  }
  expectScriptPasses({test::systemPython, test::testScript("cad/check_dxf_drawing.py").string(),
                      drawing, report});
}

void expectJsonMatchesRun(const std::string& results, const std::string& report,
                          const char* ending, const std::string& messages) {
  if (!test::systemPythonHas("json")) GTEST_SKIP() << "no Python at " << test::systemPython;
  expectScriptPasses({test::systemPython,
                      test::testScript("report/check_json_results.py").string(), results, report,
                      ending, messages});
}

TEST(ExportRun, DxfDrawingReadsBackAndMatchesTheReport) {
  const ExportFolder folder(test::sampleDesign());
  const ProcessResult result = folder.run({"--answer", "H", "--dxf", folder.pathOf("stern.dxf")});
  ASSERT_EQ(result.exitStatus, kExitCompleted) << result.err;
  expectDxfMatchesReport(folder.pathOf("stern.dxf"), folder.pathOf(reportFileName));
}

TEST(ExportRun, JsonResultsMatchTheReportOfTheSameRun) {
  const ExportFolder folder(test::sampleDesign());
  const ProcessResult result = folder.run({"--answer", "H", "--json", folder.pathOf("results.json")});
  ASSERT_EQ(result.exitStatus, kExitCompleted) << result.err;
  const std::string json = readFile(folder.pathOf("results.json"));
  EXPECT_EQ(json.find('\r'), std::string::npos);
  EXPECT_EQ(json.back(), '\n');
  expectJsonMatchesRun(folder.pathOf("results.json"), folder.pathOf(reportFileName), "completed",
                       keepMessages(folder, result));
}

TEST(ExportRun, JsonCarriesTheRunsWarnings) {
  DesignData design = test::sampleDesign();
  design.hubDiameter = 5.0;  // larger than the propeller: warned, the run still completes
  const ExportFolder folder(design);
  const ProcessResult result = folder.run({"--answer", "H", "--json", folder.pathOf("results.json")});
  ASSERT_EQ(result.exitStatus, kExitCompleted) << result.err;
  ASSERT_NE(result.err.find("propclear: warning: "), std::string::npos) << result.err;
  expectJsonMatchesRun(folder.pathOf("results.json"), folder.pathOf(reportFileName), "completed",
                       keepMessages(folder, result));
}

TEST(ExportRun, WrongGeometryWritesJsonStatingItButNoDrawing) {
  const ExportFolder folder(test::sampleDesign());
  const ProcessResult result = folder.run({"--answer", "E", "--json", folder.pathOf("results.json"), "--dxf", folder.pathOf("stern.dxf")});
  ASSERT_EQ(result.exitStatus, kExitWrongGeometry) << result.err;
  EXPECT_FALSE(fs::exists(folder / "stern.dxf"));
  EXPECT_FALSE(fs::exists(folder / cadScriptFileName));
  expectJsonMatchesRun(folder.pathOf("results.json"), folder.pathOf(reportFileName), "wrong-geometry",
                       keepMessages(folder, result));
}

TEST(ExportRun, JsonGoesToStandardOutputForADash) {
  const ExportFolder folder(test::sampleDesign());
  const ProcessResult result = folder.run({"--answer", "H", "--json", "-"});
  ASSERT_EQ(result.exitStatus, kExitCompleted) << result.err;
  EXPECT_FALSE(fs::exists(folder / "-"));
  writeFile(folder / "stdout.json", result.out);
  expectJsonMatchesRun(folder.pathOf("stdout.json"), folder.pathOf(reportFileName), "completed",
                       keepMessages(folder, result));
}

TEST(ExportRun, NoExportsWhenTheContourIsTooLongOrTheRunFails) {
  std::string overlong = test::designFileText(test::sampleDesign());
  overlong.erase(overlong.find("0.2, 1.2, 1"));
  for (int k = 1; k <= 251; ++k) overlong += std::to_string(0.01 * k) + ", 1.5, 1\r\n";
  DesignData zeroDiameter = test::sampleDesign();
  zeroDiameter.propellerDiameter = 0.0;
  const std::pair<std::string, int> cases[] = {
      {overlong, kExitContourTooLong},
      {test::designFileText(zeroDiameter), kExitError},
  };
  for (const auto& [design, status] : cases) {
    SCOPED_TRACE(status);
    const ExportFolder folder(test::sampleDesign());
    writeFile(folder / designFileName, design);
    writeFile(folder / "results.json", kEarlierOutput);
    const ProcessResult result = folder.run({"--answer", "H", "--json", folder.pathOf("results.json"), "--dxf", folder.pathOf("stern.dxf")});
    EXPECT_EQ(result.exitStatus, status) << result.err;
    EXPECT_EQ(readFile(folder.pathOf("results.json")), kEarlierOutput);
    EXPECT_FALSE(fs::exists(folder / "stern.dxf"));
  }
}

TEST(ExportRun, BothExportsWorkTogetherWithThePlot) {
  const ExportFolder folder(test::sampleDesign());
  const ProcessResult result =
      folder.run({"--answer", "H", "--plot", folder.pathOf("stern.svg"), "--dxf", folder.pathOf("stern.dxf"),
                       "--json", folder.pathOf("results.json")});
  if (result.exitStatus == kExitError && result.err.find("no image export") != std::string::npos) {
    // Refused before anything is written, like any other export that cannot be made.
    EXPECT_FALSE(fs::exists(folder / reportFileName));
    GTEST_SKIP() << "this build has no image export (built without Qt)";
  }
  ASSERT_EQ(result.exitStatus, kExitCompleted) << result.err;
  EXPECT_NE(readFile(folder.pathOf("stern.svg")).find("<svg"), std::string::npos);
  expectDxfMatchesReport(folder.pathOf("stern.dxf"), folder.pathOf(reportFileName));
  expectJsonMatchesRun(folder.pathOf("results.json"), folder.pathOf(reportFileName), "completed",
                       keepMessages(folder, result));
}

TEST(ExportRun, RelativePathsAreTakenFromTheCurrentDirectoryNotFromTheWorkFolder) {
  const ExportFolder work(test::sampleDesign());
  const ScratchDir current;
  const ProcessResult result = test::runPropclearIn(
      current.path(), {"-C", work.path().string(), "--no-window", "--answer", "H", "--dxf",
                       "stern.dxf", "--json", "results.json"});
  ASSERT_EQ(result.exitStatus, kExitCompleted) << result.err;
  EXPECT_TRUE(fs::exists(current / "stern.dxf"));
  EXPECT_TRUE(fs::exists(current / "results.json"));
  EXPECT_FALSE(fs::exists(work / "stern.dxf"));
  EXPECT_TRUE(fs::exists(work / reportFileName));
}

TEST(ExportRun, UnwritableExportFailsBeforeAnyFileIsTouched) {
  struct Case {
    const char* option;
    const char* file;  // inside the folder
    const char* named;  // what the message must name
  };
  const Case cases[] = {
      {"--dxf", "missing/stern.dxf", "missing"},
      {"--json", "missing/results.json", "missing"},
      {"--plot", "stern.gif", ".gif"},
      {"--report-pdf", "missing/report.pdf", "missing"},
      {"--dxf", cadScriptFileName, cadScriptFileName},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option + std::string(" ") + c.file);
    const ExportFolder folder(test::sampleDesign());
    writeFile(folder / cadScriptFileName, kEarlierOutput);
    const ProcessResult result = folder.run({"--answer", "H", c.option, folder.pathOf(c.file)});
    EXPECT_EQ(result.exitStatus, kExitError);
    EXPECT_NE(result.err.find(folder.pathOf(c.file) + ": cannot write the file given to " +
                              c.option),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find(c.named), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(folder / reportFileName)) << "the report was created";
    EXPECT_EQ(readFile(folder / cadScriptFileName), kEarlierOutput);
  }
}

TEST(ExportRun, LibreCadRendersTheDrawing) {
  if (!test::toolOnPath("librecad")) {
    GTEST_SKIP() << "LibreCAD is not installed; the drawing is not rendered";
  }
  const ExportFolder folder(test::sampleDesign());
  ASSERT_EQ(folder.run({"--answer", "H", "--dxf", folder.pathOf("stern.dxf")}).exitStatus, kExitCompleted);
  const ScratchDir pages;
  // LibreCAD can hang on a file it cannot parse: give up after a while.
  const ProcessResult render = test::runTool(
      {"timeout", "120", "librecad", "dxf2pdf", "-a", "-t", pages.path().string(),
       folder.pathOf("stern.dxf")},
      {}, {{"QT_QPA_PLATFORM", "offscreen"}});
  ASSERT_EQ(render.exitStatus, 0) << render.out << render.err;
  const std::string pdf = readFile(pages / "stern.pdf");
  EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
  EXPECT_NE(pdf.find("/Type /Page\n"), std::string::npos) << "no page in the PDF";
  // A drawing without entities renders to about 1.2 kB.
  EXPECT_GT(pdf.size(), 5000u) << "an empty page";
}

}  // namespace
}  // namespace propclear
