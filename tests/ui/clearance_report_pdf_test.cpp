// The clearance report, read back with poppler's tools: A4 landscape sheets
// of vector drawing and text with every font embedded, no type under 7 pt,
// the title block, the drawing and the table on the first sheet, the
// annexes that do not fit on a second, and failing clearances drawn in red.

#include "ui/clearance_report_pdf.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <regex>

#include "common/output_file.h"
#include "common/run_error.h"
#include "design/read_design_data.h"
#include "rules/read_ship_particulars.h"
#include "sample_design.h"
#include "test_support.h"

namespace propclear {
namespace {

using test::ScratchDir;

// A design file with its analysis and, when the ship file is given, the rule
// check, as a run makes them.
struct ReportCase {
  std::filesystem::path designFile;
  DesignData design;
  Assessment assessment;

  ReportCase(const std::filesystem::path& file, const std::optional<ShipParticulars>& ship)
      : designFile(file),
        design(readDesignData(file).design),
        assessment(assess(design, AssessmentInputs{ship ? &*ship : nullptr})),
        ship(ship) {}

  std::optional<ShipParticulars> ship;
  ReportPaper paper = ReportPaper::A4;

  ClearanceReportContent content() const {
    return {design, assessment, designFile, ship ? &*ship : nullptr, paper};
  }
};

ReportCase exampleWithShip(const std::optional<ShipOverrides>& overrides = ShipOverrides{}) {
  std::optional<ShipParticulars> ship;
  if (overrides) ship = readShipParticulars(test::examplesDir() / "Norvalek.ship.toml", *overrides);
  return ReportCase(test::examplesDir() / "Norvalek.TSK", ship);
}

std::filesystem::path writeReport(const ReportCase& report, const ScratchDir& dir,
                                  const std::string& name = "report.pdf") {
  const std::filesystem::path path = dir / name;
  OutputFile file(path, path.string(), OutputFile::Devices::WriteInto);
  writeClearanceReportPdf(report.content(), file);
  file.commit();
  return path;
}

std::string toolOutput(const std::vector<std::string>& argv) {
  const test::ProcessResult run = test::runProgram(argv);
  EXPECT_EQ(run.exitStatus, 0) << argv.front() << ": " << run.err;
  return run.out;
}

std::string pageText(const std::filesystem::path& pdf) {
  return toolOutput({"pdftotext", "-layout", pdf.string(), "-"});
}

// The page rendered at `dotsPerInch` by poppler.
QImage pageImage(const std::filesystem::path& pdf, const ScratchDir& dir, int dotsPerInch) {
  toolOutput({"pdftoppm", "-png", "-r", std::to_string(dotsPerInch), "-singlefile", pdf.string(),
              (dir / "page").string()});
  return QImage(QString::fromStdString((dir / "page.png").string()));
}

// Pixels that are clearly red: the colour of a clearance below its minimum.
int redPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor colour = image.pixelColor(x, y);
      if (colour.red() > 160 && colour.green() < 80 && colour.blue() < 80) ++count;
    }
  }
  return count;
}

TEST(ClearanceReportPdf, IsA4LandscapeOfVectorsWithEmbeddedFonts) {
  const ScratchDir dir;
  const std::filesystem::path pdf = writeReport(exampleWithShip(), dir);
  const std::string info = toolOutput({"pdfinfo", pdf.string()});
  // A4 is 842 x 595 points; Qt rounds it to whole points. Without --paper the page is A4.
  EXPECT_NE(info.find("Page size:       842 x 595 pts (A4)"), std::string::npos) << info;
  // The example keeps its rule sources beside the drawing, their mapping and
  // inputs left to the table, and takes one sheet.
  EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
  EXPECT_NE(toolOutput({"pdftotext", pdf.string(), "-"}).find("Rule sources"), std::string::npos);
  EXPECT_NE(info.find("Title:           Clearance report: MV Norvalek"), std::string::npos) << info;

  const std::string fonts = toolOutput({"pdffonts", pdf.string()});
  EXPECT_NE(fonts.find("Liberation"), std::string::npos) << fonts;
  // Every font line ends "emb sub uni object ID": embedded means "yes" in the emb column.
  std::istringstream lines(fonts);
  std::string line;
  int fontLines = 0;
  for (int skip = 0; skip < 2 && std::getline(lines, line);) ++skip;
  while (std::getline(lines, line)) {
    ++fontLines;
    EXPECT_TRUE(std::regex_search(line, std::regex(R"(\s+yes\s+(yes|no)\s+(yes|no)\s+\d+\s+\d+$)")))
        << "not embedded: " << line;
  }
  EXPECT_GT(fontLines, 0);
  // Vector: the page holds no picture.
  EXPECT_EQ(toolOutput({"pdfimages", "-list", pdf.string()}).find(" image "), std::string::npos);
}

TEST(ClearanceReportPdf, TitleBlockTableAndWarningsAreTextOnThePage) {
  const ScratchDir dir;
  ReportCase report = exampleWithShip();
  report.assessment.analysis.warnings.push_back(
      {WarningKind::InvalidDesign, "", "contour point 7 lies behind point 6"});
  const std::string text = pageText(writeReport(report, dir));
  const std::string sha256 =
      toolOutput({"sha256sum", (test::examplesDir() / "Norvalek.TSK").string()}).substr(0, 64);
  for (const std::string& expected :
       {std::string("MV Norvalek"), std::string("Norvalek.TSK"), sha256,
        std::string("propclear ") + PROPCLEAR_VERSION, std::string("lr-recommended (LR b)"),
        std::string("Overall: "), std::string("K = "), std::string("Lloyd's Register"),
        std::string("contour point 7 lies behind point 6"), std::string("scale 1:"),
        std::string("legacy a' (mirrored)"), std::string("legacy c' (mirrored)")}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
  }
  EXPECT_TRUE(std::regex_search(text, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)"))) << text;
  // Each clearance is dimensioned with its value in m and as a multiple of D.
  for (const char* name : {"a ", "b ", "c ", "a' ", "b' ", "c' "}) {
    const std::regex dimension(std::string("(^|\\s)") + name + R"(\d+\.\d{3} m / \d+\.\d{3}D)");
    EXPECT_TRUE(std::regex_search(text, dimension)) << name << "\n" << text;
  }
}

TEST(ClearanceReportPdf, WithoutShipFileShowsTheSignedGapsUnderTheDesignFileName) {
  const ScratchDir dir;
  const std::string text = pageText(writeReport(exampleWithShip(std::nullopt), dir));
  EXPECT_NE(text.find("Norvalek.TSK"), std::string::npos) << text;
  EXPECT_EQ(text.find("MV Norvalek"), std::string::npos) << text;
  EXPECT_NE(text.find("signed gap m"), std::string::npos) << text;
  EXPECT_NE(text.find("No rule check"), std::string::npos) << text;
  EXPECT_NE(text.find("Overall: no rules"), std::string::npos) << text;
}

struct WordBox {
  std::string text;
  double left, top, right, bottom;  // pt
};

// The words of each page with their boxes, as poppler reads them back.
std::vector<std::vector<WordBox>> pagesWords(const std::filesystem::path& pdf) {
  const std::string xhtml = toolOutput({"pdftotext", "-bbox-layout", pdf.string(), "-"});
  const std::regex word(
      R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
  std::vector<std::vector<WordBox>> pages;
  for (std::size_t start = xhtml.find("<page "); start != std::string::npos;) {
    const std::size_t end = xhtml.find("</page>", start);
    const std::string page = xhtml.substr(start, end - start);
    pages.emplace_back();
    for (auto match = std::sregex_iterator(page.begin(), page.end(), word);
         match != std::sregex_iterator(); ++match) {
      pages.back().push_back({(*match)[5], std::stod((*match)[1]), std::stod((*match)[2]),
                              std::stod((*match)[3]), std::stod((*match)[4])});
    }
    start = end == std::string::npos ? end : xhtml.find("<page ", end);
  }
  return pages;
}

// Pairs of words whose boxes overlap by more than a hair.
std::vector<std::string> overlappingWords(const std::vector<WordBox>& words) {
  constexpr double hair = 0.05;  // pt
  std::vector<std::string> overlaps;
  for (std::size_t i = 0; i < words.size(); ++i) {
    for (std::size_t j = i + 1; j < words.size(); ++j) {
      const WordBox& p = words[i];
      const WordBox& q = words[j];
      if (std::min(p.right, q.right) - std::max(p.left, q.left) > hair &&
          std::min(p.bottom, q.bottom) - std::max(p.top, q.top) > hair) {
        overlaps.push_back(p.text + " / " + q.text);
      }
    }
  }
  return overlaps;
}

// Three rule sets and a long note: the drawing and the title block keep the
// first sheet, the long table of the rule check and the annexes go to a
// second, and no type is smaller than 7 pt (a word's box is about 1.12
// times its type size high).
TEST(ClearanceReportPdf, EveryRuleSetAtOnceTakesASecondSheetInLegibleType) {
  const ScratchDir dir;
  ShipOverrides overrides;
  overrides.ruleSets = "lr-recommended,tip-guidance,custom";
  for (const char* name : {"a", "b", "c", "a'", "b'", "c'"}) {
    overrides.settings.push_back(std::string("custom_minima.\"") + name + "\"=\"0.25D\"");
  }
  overrides.settings.push_back("blades=5");
  overrides.settings.push_back("name=\"MV %1 <Hull> & %2\"");
  const std::filesystem::path pdf = writeReport(exampleWithShip(overrides), dir);
  EXPECT_NE(toolOutput({"pdfinfo", pdf.string()}).find("Pages:           2\n"), std::string::npos);
  const std::string first = toolOutput({"pdftotext", "-f", "1", "-l", "1", pdf.string(), "-"});
  for (const char* expected : {"MV %1 <Hull> & %2", "1 of 2", "a 1.113 m / 0.242D", "On sheet 2:"}) {
    EXPECT_NE(first.find(expected), std::string::npos) << expected << "\n" << first;
  }
  const std::string second = toolOutput({"pdftotext", "-f", "2", "-l", "2", pdf.string(), "-"});
  for (const char* expected : {"Sheet 2 of 2", "tip-guidance (tip)", "custom (c')", "Z = 5",
                               "Rule sources", "Warnings of the run"}) {
    EXPECT_NE(second.find(expected), std::string::npos) << expected << "\n" << second;
  }
  for (const std::vector<WordBox>& page : pagesWords(pdf)) {
    for (const WordBox& word : page) EXPECT_GE(word.bottom - word.top, 7.0 * 1.1) << word.text;
    EXPECT_EQ(overlappingWords(page), std::vector<std::string>{});
  }
}

// The example with a [drawing] table: the title block holds its boxes, the
// propeller's particulars, the rule figures worked out and the closest
// approach of the stern contour, and no two words of the page overlap.
TEST(ClearanceReportPdf, ShipyardTitleBlockParticularsAndFiguresWithoutOverprint) {
  const ScratchDir dir;
  ShipOverrides overrides;
  overrides.settings = {"drawing.yard=Harbour Yard", "drawing.hull_number=2417",
                        "drawing.drawing_number=2417-433-01", "drawing.revision=B",
                        "drawing.drawn_by=J. Smith"};
  const std::filesystem::path pdf = writeReport(exampleWithShip(overrides), dir);
  // In reading order with every run of blanks and line ends one blank: a
  // note's line may wrap anywhere.
  const std::string text = std::regex_replace(toolOutput({"pdftotext", pdf.string(), "-"}),
                                              std::regex(R"(\s+)"), " ");
  for (const char* expected :
       {"Harbour Yard", "2417-433-01", "Revision", "Approved", "J. Smith", "D 4.600 m", "Dh 0.850 m",
        "P/D 0.800", "Ear 0.550", "Z 4", "rake 10.0", "6.200 m below the DWL",
        "K = (0.1 + L/3050)\u00B7(3.48\u00B7Cb\u00B7P/L\u00B2 + 0.3) = (0.1 + 118/3050)\u00B7(3.48\u00B70.72\u00B76500/118\u00B2 + 0.3) = 0.2038",
        "1.50\u00B7K\u00B7D = 1.50\u00B70.2038\u00B74.6 = 1.406 m", "contour 0.683 m / 0.149D",
        "FWD", "heel", "B.L.", "A.P.", "scale 1:100 on A4",
        "MV NORVALEK - STERN FRAME, PROPELLER AND RUDDER CLEARANCE INPUT"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
  }
  const std::vector<std::vector<WordBox>> pages = pagesWords(pdf);
  ASSERT_FALSE(pages.empty());
  EXPECT_GT(pages.front().size(), 300u);
  for (const std::vector<WordBox>& page : pages) {
    EXPECT_EQ(overlappingWords(page), std::vector<std::string>{});
  }
}

// A clash is named in the page's first line, and --paper A3 gives an A3
// page on which again no words overlap.
TEST(ClearanceReportPdf, AClashHeadsTheA3PageWithoutOverprint) {
  const ScratchDir dir;
  ReportCase report = exampleWithShip();
  report.design.propellerDiameter = 5.5;
  report.assessment = assess(report.design, AssessmentInputs{&*report.ship});
  ASSERT_TRUE(report.assessment.hasClash());
  report.paper = ReportPaper::A3;
  const std::filesystem::path pdf = writeReport(report, dir);
  EXPECT_NE(toolOutput({"pdfinfo", pdf.string()}).find("Page size:       1191 x 842 pts (A3)"),
            std::string::npos);
  const std::string text = toolOutput({"pdftotext", pdf.string(), "-"});
  EXPECT_EQ(text.substr(0, text.find('\n')), "MV Norvalek: CLASH \u2014 the blade cuts the heel by 0.250 m");
  for (const std::vector<WordBox>& page : pagesWords(pdf)) {
    EXPECT_EQ(overlappingWords(page), std::vector<std::string>{});
  }
}

ShipOverrides customMinima(const std::string& a, const std::string& cPrime) {
  ShipOverrides overrides;
  overrides.ruleSets = "custom";
  overrides.settings = {"custom_minima.a=\"" + a + "\"", "custom_minima.\"c'\"=\"" + cPrime + "\""};
  return overrides;
}

// Minima the example clears leave the page without red; minima it does not
// clear turn those clearances, their verdicts and the overall verdict red.
TEST(ClearanceReportPdf, ClearancesBelowTheirMinimumAreRed) {
  const ScratchDir dir;
  const ReportCase meets = exampleWithShip(customMinima("0.1D", "0.1D"));
  const QImage meetsPage = pageImage(writeReport(meets, dir, "meets.pdf"), dir, 50);
  ASSERT_FALSE(meetsPage.isNull());
  EXPECT_EQ(redPixels(meetsPage), 0);

  const ReportCase fails = exampleWithShip(customMinima("0.9D", "0.9D"));
  EXPECT_EQ(fails.assessment.rules->linesBelow, 2);
  EXPECT_GT(redPixels(pageImage(writeReport(fails, dir, "fails.pdf"), dir, 50)), 50);
}

TEST(ClearanceReportPdf, UnreadableDesignFileIsAnErrorNamingIt) {
  const ScratchDir dir;
  ReportCase report = exampleWithShip();
  report.designFile = dir / "gone.TSK";
  OutputFile file(dir / "report.pdf", "report.pdf", OutputFile::Devices::WriteInto);
  try {
    writeClearanceReportPdf(report.content(), file);
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_NE(std::string(error.what()).find("gone.TSK"), std::string::npos) << error.what();
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "report.pdf"));
}

// The example copied into a scratch folder, run through the program.
struct ExampleRun : ScratchDir {
  ExampleRun() {
    for (const char* name : {"Norvalek.TSK", "Norvalek.ship.toml"}) {
      std::filesystem::copy_file(test::examplesDir() / name, *this / name);
    }
    test::writeFile(*this / "report.pdf", "earlier\n");
  }
  test::ProcessResult run(const std::string& answer, std::vector<std::string> options = {}) const {
    std::vector<std::string> args = {"-C", path().string(), "--no-window", "--answer", answer,
                                     "--report-pdf", (*this / "report.pdf").string()};
    args.insert(args.end(), options.begin(), options.end());
    return test::runPropclear(args);
  }
};

// A completed run writes the report, also when --strict fails it on the
// rules (the example is below two minima; its spade rudder has no heel
// line); a run answered E keeps the
// earlier file.
TEST(ClearanceReportRun, CompletedRunsWriteItAndWrongGeometryKeepsTheEarlierFile) {
  const ExampleRun folder;
  const test::ProcessResult strict = folder.run("H", {"--strict"});
  EXPECT_EQ(strict.exitStatus, test::kExitStrictOverlap) << strict.err;
  const std::string text = pageText(folder / "report.pdf");
  EXPECT_NE(text.find("MV Norvalek"), std::string::npos) << text;
  EXPECT_NE(text.find("Overall: below the recommended minimum on 2 of 3 lines"), std::string::npos)
      << text;

  test::writeFile(folder / "report.pdf", "earlier\n");
  const test::ProcessResult wrong = folder.run("E");
  EXPECT_EQ(wrong.exitStatus, test::kExitWrongGeometry) << wrong.err;
  EXPECT_EQ(test::readFile(folder / "report.pdf"), "earlier\n");
}

TEST(ClearanceReportRun, AFailedRunLeavesTheEarlierFile) {
  const ExampleRun folder;
  const test::ProcessResult run = folder.run("H", {"--ship-set", "blades=9"});
  EXPECT_EQ(run.exitStatus, test::kExitError);
  EXPECT_NE(run.err.find("blades"), std::string::npos) << run.err;
  EXPECT_EQ(test::readFile(folder / "report.pdf"), "earlier\n");
}

}  // namespace
}  // namespace propclear
