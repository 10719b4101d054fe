// One judged result, seen alike by every output: for each design of the
// table, a' and c' (of the lower blade as it turns) and the overall status
// agree across the rule table on the terminal, the JSON, the DXF labels, the
// clearance report's text (pdftotext), the studio's model, a sweep row and a
// batch row; the report keeps the mirrored blade's legacy figures. The
// status of a' and c' reads alike in the studio's clearances table and the
// JSON, and, where informative rule lines alone judge them, as those lines'
// verdict in the rule table, the PDF and the sweep row's verdict columns.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTableWidget>
#include <optional>
#include <string>

#include "common/format_number.h"
#include "design/read_design_data.h"
#include "sample_design.h"
#include "test_support.h"
#include "ui/studio/clearances_panel.h"
#include "ui/studio/design_document.h"

namespace propclear {
namespace {

using test::ScratchDir;

struct JudgedCase {
  const char* name;
  void (*edit)(DesignData&);
  std::optional<std::string> shipFile;  // none: no ship file beside the design
  const char* status;
  const char* overallStart;  // the rule table's and the PDF's overall line; none without rules
  const char* aPrimeStatus;  // a''s status in words
};

std::string exampleShip() { return test::readFile(test::examplesDir() / "Norvalek.ship.toml"); }

const JudgedCase cases[] = {
    {"example", [](DesignData&) {}, exampleShip(), "below",
     "Overall: below the recommended minimum on 2 of 3 lines", "meets (informative)"},
    {"blade cutting the stern frame", [](DesignData& d) { d.propellerCentreX = 2.4; },
     exampleShip(), "clash", "Overall: CLASH \u2014 the blade cuts the stern frame by ",
     "below the recommended minimum (informative)"},
    {"rule shortfall only", [](DesignData&) {},
     std::string("name = \"MV Short\"\nrule_sets = [\"custom\"]\n[custom_minima]\na = \"1.20 m\"\n"),
     "below", "Overall: below the recommended minimum on 1 of 1 line", "no-rules"},
    {"swept volume cutting the rudder", [](DesignData& d) { d.rudderX[4] = 4.1; }, exampleShip(),
     "clash", "Overall: CLASH \u2014 the blade cuts the rudder by 0.125 m (1 more clash)",
     "meets (informative)"},
    {"no ship file", [](DesignData&) {}, std::nullopt, "no-rules",
     "Overall: no rules: the clearances are measured, not judged", "no-rules"},
};

QJsonObject parseObject(const std::string& text) {
  return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

std::string text(const QJsonValue& value) { return value.toString().toStdString(); }

std::string pdfText(const std::filesystem::path& pdf) {
  return test::runProgram({"pdftotext", "-layout", pdf.string(), "-"}).out;
}

// The line of `text` that starts with `start`, without its trailing blanks.
std::string lineStartingWith(const std::string& text, const std::string& start) {
  const std::size_t begin = text.find("\n" + start);
  if (begin == std::string::npos) return {};
  std::string line = text.substr(begin + 1, text.find('\n', begin + 1) - begin - 1);
  return line.substr(0, line.find_last_not_of(' ') + 1);
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class OneJudgedResult : public ::testing::TestWithParam<JudgedCase> {};

TEST_P(OneJudgedResult, EveryOutputShowsTheSameAPrimeCPrimeAndStatus) {
  const JudgedCase& judged = GetParam();
  const ScratchDir folder;
  DesignData design = readDesignData(test::examplesDir() / "Norvalek.TSK").design;
  judged.edit(design);
  const std::filesystem::path file = folder / "Hull.TSK";
  test::writeFile(file, test::designFileText(design));
  if (judged.shipFile) test::writeFile(folder / "Hull.ship.toml", *judged.shipFile);

  const test::ProcessResult run = test::runPropclear(
      {file.string(), "--no-window", "--answer", "H", "--json", (folder / "r.json").string(),
       "--dxf", (folder / "r.dxf").string(), "--report-pdf", (folder / "r.pdf").string()});
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  const QJsonObject json = parseObject(test::readFile(folder / "r.json"));
  EXPECT_EQ(text(json.value("status")), judged.status);
  const QJsonArray clearances = json.value("clearances").toArray();
  const QJsonArray legacy = json.value("legacyClearances").toArray();
  const double diameter = json.value("design").toObject().value("propellerDiameter").toDouble();
  const std::string dxf = test::readFile(folder / "r.dxf");
  const std::string pdf = pdfText(folder / "r.pdf");
  const std::vector<std::string> report = test::splitCrLfLines(test::readFile(folder / "Hull.SON"));

  // The studio's model of the same file (it finds the ship file beside it).
  DesignDocument document;
  document.open(file);
  ASSERT_TRUE(document.analysis().lastGood);
  const Assessment& studio = *document.analysis().lastGood;
  EXPECT_STREQ(statusCode(studio.status), judged.status);
  const ClearancesPanel panel(document);
  const QTableWidget& studioTable = *panel.findChild<QTableWidget*>(QStringLiteral("clearancesTable"));
  constexpr int studioStatusColumn = 5;

  // A sweep row of the file's own diameter and a batch row of the file.
  const QJsonObject sweep = parseObject(
      test::runPropclear({"sweep", file.string(), "--vary",
                          "diameter=" + formatShortest(design.propellerDiameter, "D"), "--jsonl", "-"})
          .out);
  const QJsonObject batch = parseObject(test::runPropclear({"batch", file.string(), "--jsonl", "-"}).out);
  for (const QJsonObject& row : {sweep, batch}) EXPECT_EQ(text(row.value("status")), judged.status);

  for (const auto& [index, which, reportLine] :
       {std::tuple{3, clearanceAPrime, 35}, std::tuple{5, clearanceCPrime, 37}}) {
    const QJsonObject clearance = clearances[index].toObject();
    const std::string name = text(clearance.value("name"));
    SCOPED_TRACE(name);
    EXPECT_EQ(text(clearance.value("measuredOn")), "lower-turning");
    const double metres = clearance.value("length_m").toDouble();
    const std::string shown = formatRounded(metres, 3);
    EXPECT_EQ(formatRounded(studio.clearance(which).segment.length, 3), shown);
    for (const QJsonObject& row : {sweep, batch}) {
      EXPECT_EQ(row.value(QString::fromStdString(name + "_m")).toDouble(), metres);
    }
    // The report's and the DXF drawing's dimensions give the signed gap where there is one.
    const QJsonValue signedGap = clearance.value("signedLength");
    const std::string dimension = signedGap.isNull() ? shown : formatRounded(signedGap.toDouble(), 3);
    EXPECT_NE(pdf.find(name + " " + dimension + " m"), std::string::npos) << pdf;
    const double gap = signedGap.isNull() ? metres : signedGap.toDouble();
    const std::string label = name + " " + dimension + " m / " + formatRounded(gap / diameter, 3) + "D";
    EXPECT_NE(dxf.find("\r\n" + label), std::string::npos) << label;
    // The report keeps the mirrored blade's legacy figure, named so elsewhere.
    const double mirrored = legacy[index == 3 ? 0 : 1].toObject().value("length_m").toDouble();
    EXPECT_NE(report[static_cast<std::size_t>(reportLine)].find(formatFixed(mirrored, 1, 3)),
              std::string::npos);
    EXPECT_EQ(batch.value(QString::fromStdString("legacy_" + name + "_m")).toDouble(), mirrored);
    EXPECT_NE(pdf.find("legacy " + name + " (mirrored)"), std::string::npos);

    // Its status in words, alike in the studio's table and the JSON.
    const std::string words = text(clearance.value("statusText"));
    if (index == 3) {
      EXPECT_EQ(words, judged.aPrimeStatus);
    }
    EXPECT_EQ(studioTable.item(index, studioStatusColumn)->text().toStdString(), words);
    if (text(clearance.value("status")) != "no-rules" || words == "no-rules") {
      EXPECT_EQ(words, text(clearance.value("status")));
      continue;
    }
    // Judged by informative lines only: their verdict, as every table gives it.
    EXPECT_PRED2(endsWith, lineStartingWith(run.out, name + " "), words);
    EXPECT_PRED2(endsWith, lineStartingWith(pdf, name + " "), words);
    int verdicts = 0;
    for (const QString& key : sweep.keys()) {
      if (!key.endsWith(QString::fromStdString(" " + name + " verdict"))) continue;
      if (text(sweep.value(key)).empty()) continue;
      EXPECT_EQ(text(sweep.value(key)), words) << key.toStdString();
      ++verdicts;
    }
    EXPECT_GT(verdicts, 0);
  }

  // The terminal's rule table and the PDF's title line say the same status.
  EXPECT_NE(pdf.find(judged.overallStart), std::string::npos) << pdf;
  if (judged.shipFile) {
    EXPECT_NE(run.out.find(judged.overallStart), std::string::npos) << run.out;
    const std::size_t aPrimeRow = run.out.find("\na' ");
    if (aPrimeRow != std::string::npos) {
      EXPECT_NE(run.out.find(formatRounded(clearances[3].toObject().value("length_m").toDouble(), 3),
                             aPrimeRow),
                std::string::npos);
    }
  } else {
    EXPECT_EQ(run.out, "") << "no rule table without rules";
  }
}

INSTANTIATE_TEST_SUITE_P(Designs, OneJudgedResult, ::testing::ValuesIn(cases),
                         [](const ::testing::TestParamInfo<JudgedCase>& info) {
                           std::string name = info.param.name;
                           for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

}  // namespace
}  // namespace propclear
