// The DXF drawing and the JSON results of whole runs, read back with real
// readers (ezdxf, Python's json, LibreCAD when installed) and compared with
// the report of the same run.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export_tools.h"
#include "sample_design.h"
#include "test_support.h"

namespace propclear {
namespace {

namespace fs = std::filesystem;
using test::ProcessResult;
using test::readFile;
using test::ScratchDir;
using test::writeFile;

constexpr const char* kDesign = "Norvalek.TSK";
constexpr const char* kReport = "Norvalek.SON";
constexpr const char* kScript = "Norvalek.SCR";
constexpr const char* kEarlierOutput = "earlier output\r\n";

using test::kExitCompleted;
using test::kExitContourTooLong;
using test::kExitError;
using test::kExitWrongGeometry;

// A scratch folder with a design file; outputs are named inside it.
struct Folder {
  ScratchDir dir;

  explicit Folder(const DesignData& design) { writeFile(dir / kDesign, test::designFileText(design)); }

  std::string path(const char* name) const { return (dir / name).string(); }

  ProcessResult run(const std::string& answer, const std::vector<std::string>& extra) const {
    std::vector<std::string> args = {"-C", dir.path().string(), "--no-window", "--answer", answer};
    args.insert(args.end(), extra.begin(), extra.end());
    return test::runPropclear(args);
  }

  // The run's standard error, kept as a file for the checking scripts.
  std::string keepMessages(const ProcessResult& result) const {
    writeFile(dir / "messages.txt", result.err);
    return path("messages.txt");
  }
};

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
  const Folder folder(test::sampleDesign());
  const ProcessResult result = folder.run("H", {"--dxf", folder.path("stern.dxf")});
  ASSERT_EQ(result.exitStatus, kExitCompleted) << result.err;
  expectDxfMatchesReport(folder.path("stern.dxf"), folder.path(kReport));
}

TEST(ExportRun, JsonResultsMatchTheReportOfTheSameRun) {
  const Folder folder(test::sampleDesign());
  const ProcessResult result = folder.run("H", {"--json", folder.path("results.json")});
  ASSERT_EQ(result.exitStatus, kExitCompleted) << result.err;
  const std::string json = readFile(folder.path("results.json"));
  EXPECT_EQ(json.find('\r'), std::string::npos);
  EXPECT_EQ(json.back(), '\n');
  expectJsonMatchesRun(folder.path("results.json"), folder.path(kReport), "completed",
                       folder.keepMessages(result));
}

TEST(ExportRun, JsonCarriesTheRunsWarnings) {
  DesignData design = test::sampleDesign();
  design.hubDiameter = 5.0;  // larger than the propeller: warned, the run still completes
  const Folder folder(design);
  const ProcessResult result = folder.run("H", {"--json", folder.path("results.json")});
  ASSERT_EQ(result.exitStatus, kExitCompleted) << result.err;
  ASSERT_NE(result.err.find("propclear: warning: "), std::string::npos) << result.err;
  expectJsonMatchesRun(folder.path("results.json"), folder.path(kReport), "completed",
                       folder.keepMessages(result));
}

TEST(ExportRun, WrongGeometryWritesJsonStatingItButNoDrawing) {
  const Folder folder(test::sampleDesign());
  const ProcessResult result = folder.run(
      "E", {"--json", folder.path("results.json"), "--dxf", folder.path("stern.dxf")});
  ASSERT_EQ(result.exitStatus, kExitWrongGeometry) << result.err;
  EXPECT_FALSE(fs::exists(folder.dir / "stern.dxf"));
  EXPECT_FALSE(fs::exists(folder.dir / kScript));
  expectJsonMatchesRun(folder.path("results.json"), folder.path(kReport), "wrong-geometry",
                       folder.keepMessages(result));
}

TEST(ExportRun, JsonGoesToStandardOutputForADash) {
  const Folder folder(test::sampleDesign());
  const ProcessResult result = folder.run("H", {"--json", "-"});
  ASSERT_EQ(result.exitStatus, kExitCompleted) << result.err;
  EXPECT_FALSE(fs::exists(folder.dir / "-"));
  writeFile(folder.dir / "stdout.json", result.out);
  expectJsonMatchesRun(folder.path("stdout.json"), folder.path(kReport), "completed",
                       folder.keepMessages(result));
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
    const Folder folder(test::sampleDesign());
    writeFile(folder.dir / kDesign, design);
    writeFile(folder.dir / "results.json", kEarlierOutput);
    const ProcessResult result = folder.run(
        "H", {"--json", folder.path("results.json"), "--dxf", folder.path("stern.dxf")});
    EXPECT_EQ(result.exitStatus, status) << result.err;
    EXPECT_EQ(readFile(folder.path("results.json")), kEarlierOutput);
    EXPECT_FALSE(fs::exists(folder.dir / "stern.dxf"));
  }
}

TEST(ExportRun, BothExportsWorkTogetherWithThePlot) {
  const Folder folder(test::sampleDesign());
  const ProcessResult result =
      folder.run("H", {"--plot", folder.path("stern.svg"), "--dxf", folder.path("stern.dxf"),
                       "--json", folder.path("results.json")});
  if (result.exitStatus == kExitError && result.err.find("no image export") != std::string::npos) {
    // Refused before anything is written, like any other export that cannot be made.
    EXPECT_FALSE(fs::exists(folder.dir / kReport));
    GTEST_SKIP() << "this build has no image export (built without Qt)";
  }
  ASSERT_EQ(result.exitStatus, kExitCompleted) << result.err;
  EXPECT_NE(readFile(folder.path("stern.svg")).find("<svg"), std::string::npos);
  expectDxfMatchesReport(folder.path("stern.dxf"), folder.path(kReport));
  expectJsonMatchesRun(folder.path("results.json"), folder.path(kReport), "completed",
                       folder.keepMessages(result));
}

TEST(ExportRun, RelativePathsAreTakenFromTheCurrentDirectoryNotFromTheWorkFolder) {
  const Folder work(test::sampleDesign());
  const ScratchDir current;
  const ProcessResult result = test::runPropclearIn(
      current.path(), {"-C", work.dir.path().string(), "--no-window", "--answer", "H", "--dxf",
                       "stern.dxf", "--json", "results.json"});
  ASSERT_EQ(result.exitStatus, kExitCompleted) << result.err;
  EXPECT_TRUE(fs::exists(current / "stern.dxf"));
  EXPECT_TRUE(fs::exists(current / "results.json"));
  EXPECT_FALSE(fs::exists(work.dir / "stern.dxf"));
  EXPECT_TRUE(fs::exists(work.dir / kReport));
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
      {"--dxf", kScript, kScript},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option + std::string(" ") + c.file);
    const Folder folder(test::sampleDesign());
    writeFile(folder.dir / kScript, kEarlierOutput);
    const ProcessResult result = folder.run("H", {c.option, folder.path(c.file)});
    EXPECT_EQ(result.exitStatus, kExitError);
    EXPECT_NE(result.err.find(folder.path(c.file) + ": cannot write the file given to " +
                              c.option),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find(c.named), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(folder.dir / kReport)) << "the report was created";
    EXPECT_EQ(readFile(folder.dir / kScript), kEarlierOutput);
  }
}

TEST(ExportRun, LibreCadRendersTheDrawing) {
  if (!test::toolOnPath("librecad")) {
    GTEST_SKIP() << "LibreCAD is not installed; the drawing is not rendered";
  }
  const Folder folder(test::sampleDesign());
  ASSERT_EQ(folder.run("H", {"--dxf", folder.path("stern.dxf")}).exitStatus, kExitCompleted);
  const ScratchDir pages;
  // LibreCAD can hang on a file it cannot parse: give up after a while.
  const ProcessResult render = test::runTool(
      {"timeout", "120", "librecad", "dxf2pdf", "-a", "-t", pages.path().string(),
       folder.path("stern.dxf")},
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
