#include "report/write_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/output_file.h"
#include "common/run_error.h"
#include "common/version.h"
#include "support/test_support.h"

namespace propclear {
namespace {

const std::string kBorder(81, '#');
const std::string kFrameBlank = "#######" + std::string(66, ' ') + "########";

DesignData reportDesign() {
  DesignData design;
  design.propellerDiameter = 4.2;
  design.hubDiameter = 0.84;
  design.pitchRatio = 0.8;
  design.areaRatio = 0.55;
  design.rudderX = {0.0, 2.5, 2.5, 6.0, 6.0625};
  design.rudderZ = {0.0, 0.75, 5.125, 5.125, 0.75};
  return design;
}

ClearanceSet reportClearances() {
  ClearanceSet set;
  const double lengths[] = {0.19, 0.84, 1.05, 0.5, 2.1, 0.0};
  for (int i = 0; i < clearanceCount; ++i) set[i].length = lengths[i];
  return set;
}

// Report line n, counted from 1 as the file's lines are.
std::string lineOf(const std::vector<std::string>& lines, int n) {
  return lines.at(static_cast<std::size_t>(n - 1));
}

TEST(ReportLayout, HasThirtyEightLinesWithTheEmptyOnesInPlace) {
  const auto lines = reportLines(reportDesign(), reportClearances());
  ASSERT_EQ(lines.size(), 38u);
  for (int n = 1; n <= 38; ++n) {
    const bool empty =
        n == 11 || n == 13 || n == 19 || n == 20 || n == 27 || n == 28 || n == 29 || n == 31;
    EXPECT_EQ(lineOf(lines, n).empty(), empty) << "line " << n;
  }
}

TEST(ReportLayout, FixedLinesAreReproducedExactly) {
  const auto lines = reportLines(reportDesign(), reportClearances());
  struct Golden {
    int line;
    std::string text;
    std::size_t length;
  };
  const Golden golden[] = {
      {1, kBorder, 81},
      {2, "#######                                                                  ########", 81},
      {3, "####### GEMI KIC BODOSLAMA GEOMETRISI - PERVANE/GEMI/DUMEN ACIKLIKLARI   ########", 81},
      {4, "#######                HESAP PROGRAMI CIKIS DOSYASI                      ########", 81},
      {5, kFrameBlank, 81},
      {6, kFrameBlank, 81},
      {9, kFrameBlank, 81},
      {10, kBorder, 81},
      {12, " GIRIS BILGILERI ----------------------------------------------------------------", 81},
      {14, " Dumen Bilgileri      x        z ", 33},
      {21, " Pervane Bilgileri - Wageningen B Serisi Pervaneler Kullanilmaktadir", 68},
      {22, " Kanat Sayisi --------- Z = 4", 29},
      {30, " CIKIS BILGILERI ----------------------------------------------------------------", 81},
      {32, " Pervane Tekne Arasi Acikliklar", 31},
  };
  for (const Golden& g : golden) {
    EXPECT_EQ(lineOf(lines, g.line), g.text) << "line " << g.line;
    EXPECT_EQ(lineOf(lines, g.line).size(), g.length) << "line " << g.line;
  }
}

TEST(ReportLayout, AuthorAndContactLinesAreFramed) {
  const auto lines = reportLines(reportDesign(), reportClearances());
  const std::string author = std::string("propclear ") + programVersion;
  const std::string contact = programLicence;
  EXPECT_EQ(lineOf(lines, 7),
            "#######    " + author + std::string(62 - author.size(), ' ') + "########");
  EXPECT_EQ(lineOf(lines, 8),
            "#######    " + contact + std::string(62 - contact.size(), ' ') + "########");
  EXPECT_EQ(lineOf(lines, 7).size(), 81u);
  EXPECT_EQ(lineOf(lines, 8).size(), 81u);
}

TEST(ReportFrameLine, PlacesTheTextAfterFourBlanks) {
  EXPECT_EQ(reportFrameLine("propclear 1.2.3"),
            "#######    propclear 1.2.3                                               ########");
  EXPECT_EQ(reportFrameLine(""), kFrameBlank);
}

TEST(ReportFrameLine, CutsAnOverlongTextToTheFrame) {
  const std::string fits(62, 'x');
  EXPECT_EQ(reportFrameLine(fits), "#######    " + fits + "########");
  const std::string tooLong = fits + "yyyy";
  EXPECT_EQ(reportFrameLine(tooLong), "#######    " + fits + "########");
  EXPECT_EQ(reportFrameLine(tooLong).size(), 81u);
}

TEST(ReportValues, EchoesRudderAndPropellerData) {
  const auto lines = reportLines(reportDesign(), reportClearances());
  EXPECT_EQ(lineOf(lines, 15), " 1. Nokta ----- =   2.500    0.750  (Sol alt nokta)");
  EXPECT_EQ(lineOf(lines, 16), " 2. Nokta ----- =   2.500    5.125  (Sol ust nokta)");
  EXPECT_EQ(lineOf(lines, 17), " 3. Nokta ----- =   6.000    5.125  (Sag ust nokta)");
  EXPECT_EQ(lineOf(lines, 18), " 4. Nokta ----- =   6.063    0.750  (Sag ust nokta)");
  EXPECT_EQ(lineOf(lines, 23), " Acinim Alan Orani -- Ear = 0.550");
  EXPECT_EQ(lineOf(lines, 24), " Hatve Orani -------- P/D = 0.800");
  EXPECT_EQ(lineOf(lines, 25), " Pervane Capi --------- D =  4.200 m.");
  EXPECT_EQ(lineOf(lines, 26), " Pervane Gobek Capi -- Dh =  0.840 m. / Dh/D = 0.200");
}

TEST(ReportValues, GivesClearancesInMetresAndAsMultiplesOfD) {
  const auto lines = reportLines(reportDesign(), reportClearances());
  EXPECT_EQ(lineOf(lines, 33), " a  =  0.190 m. / 0.045*D [Onerilen a/D = 0.005 - 0.512]");
  EXPECT_EQ(lineOf(lines, 34), " b  =  0.840 m. / 0.200*D [Onerilen b/D = 0.005 - 0.572]");
  EXPECT_EQ(lineOf(lines, 35), " c  =  1.050 m. / 0.250*D");
  EXPECT_EQ(lineOf(lines, 36), " a' =  0.500 m. / 0.119*D");
  EXPECT_EQ(lineOf(lines, 37), " b' =  2.100 m. / 0.500*D");
  EXPECT_EQ(lineOf(lines, 38), " c' =  0.000 m. / 0.000*D");
}

TEST(ReportValues, MarksNumbersThatOverflowTheirField) {
  DesignData design = reportDesign();
  design.rudderX[1] = 999.9996;
  design.rudderZ[1] = -100.0;
  design.rudderX[2] = -99.9994;
  design.areaRatio = -0.5;
  design.pitchRatio = 10.0;
  design.hubDiameter = -0.84;
  ClearanceSet clearances = reportClearances();
  clearances[clearanceA].length = 42.5;
  clearances[clearanceB].length = 9.9996;
  const auto lines = reportLines(design, clearances);
  EXPECT_EQ(lineOf(lines, 15), " 1. Nokta ----- = 1000.000%  -100.000%  (Sol alt nokta)");
  EXPECT_EQ(lineOf(lines, 16), " 2. Nokta ----- = -99.999    5.125  (Sol ust nokta)");
  EXPECT_EQ(lineOf(lines, 23), " Acinim Alan Orani -- Ear = -0.500%");
  EXPECT_EQ(lineOf(lines, 24), " Hatve Orani -------- P/D = 10.000%");
  EXPECT_EQ(lineOf(lines, 26), " Pervane Gobek Capi -- Dh = -0.840 m. / Dh/D = -0.200%");
  EXPECT_EQ(lineOf(lines, 33), " a  =  42.500% m. / 10.119%*D [Onerilen a/D = 0.005 - 0.512]");
  EXPECT_EQ(lineOf(lines, 34), " b  =  10.000% m. / 2.381*D [Onerilen b/D = 0.005 - 0.572]");
}

TEST(ReportValues, ZeroDiameterIsAnArithmeticFault) {
  DesignData design = reportDesign();
  design.propellerDiameter = 0.0;
  try {
    reportLines(design, reportClearances());
    FAIL() << "a zero diameter was accepted";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::Arithmetic);
  }
}

TEST(WriteReport, WritesEveryLineWithCrLf) {
  const test::ScratchDir dir;
  const auto path = dir / reportFileName;
  {
    OutputFile report(path, reportFileName, OutputFile::Devices::Refuse);
    writeReport(report, reportDesign(), reportClearances());
    report.commit();
  }
  const std::string content = test::readFile(path);
  ASSERT_GE(content.size(), 2u);
  EXPECT_EQ(content.substr(content.size() - 2), "\r\n");
  std::size_t lineEnds = 0;
  for (std::size_t i = 0; i < content.size(); ++i) {
    if (content[i] == '\n') {
      ++lineEnds;
      EXPECT_TRUE(i > 0 && content[i - 1] == '\r') << "bare line feed at byte " << i;
    }
  }
  EXPECT_EQ(lineEnds, 38u);
  EXPECT_EQ(test::splitCrLfLines(content), reportLines(reportDesign(), reportClearances()));
}

TEST(WriteReport, WritesNothingWhenALineCannotBeComputed) {
  const test::ScratchDir dir;
  const auto path = dir / reportFileName;
  DesignData design = reportDesign();
  design.propellerDiameter = 0.0;
  {
    OutputFile report(path, reportFileName, OutputFile::Devices::Refuse);
    EXPECT_THROW(writeReport(report, design, reportClearances()), RunError);
    report.commit();
  }
  EXPECT_EQ(test::readFile(path), "");
}

}  // namespace
}  // namespace propclear
