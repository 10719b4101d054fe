#include "ui/clearance_report_pdf.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextDocument>
#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "common/checked_math.h"
#include "common/output_file.h"
#include "common/run_error.h"
#include "common/version.h"
#include "report/rule_check_table.h"
#include "report/rule_working.h"
#include "ui/clearance_report_view.h"

namespace propclear {

namespace {

// Device units of the page: fine enough that every position is exact to
// far below a printer's dot.
constexpr int pageDotsPerInch = 1200;
constexpr double millimetresPerInch = 25.4;
constexpr double unitsPerMm = pageDotsPerInch / millimetresPerInch;

// The page's plan in mm on a landscape sheet: the headline across the top,
// the title block under it as tall as it needs, the table across the foot as
// tall as it needs, and between them the drawing and the notes side by side.
constexpr double pageMarginMm = 10.0;
constexpr double gapMm = 3.0;
constexpr double headlineHeightMm = 7.0;
constexpr double lowestTitleHeightMm = 24.0;
constexpr double drawingWidthShare = 0.48;
constexpr double smallestDrawingHeightMm = 85.0;
constexpr double framePenMm = 0.25;

// Type sizes in points: each text block starts at its size and shrinks
// until it fits its box, down to 7 pt: the smallest type of a drawing's
// notes and tables that reads without a glass on a print, where 5 pt is
// legible on screen only. What does not fit at 7 pt goes to a second sheet.
constexpr double headlinePoints = 12.0;
constexpr double titleBlockPoints = 7.5;
constexpr double notesPoints = 8.0;
constexpr double tablePoints = 7.5;
constexpr double smallestPoints = 7.0;
constexpr double shrinkStepPoints = 0.25;

const char* const codeFont = "Liberation Mono";

struct PagePlan {
  QRectF headline, title, drawing, notes, table;  // mm
};

PagePlan planPage(QSizeF pageMm, double titleHeightMm, double tableHeightMm) {
  const double left = pageMarginMm;
  const double right = pageMm.width() - pageMarginMm;
  const double titleTop = pageMarginMm + headlineHeightMm;
  const double middleTop = titleTop + titleHeightMm + gapMm;
  const double tableTop = pageMm.height() - pageMarginMm - tableHeightMm;
  const double middleHeight = tableTop - gapMm - middleTop;
  const double drawingWidth = drawingWidthShare * (right - left);
  const double notesLeft = left + drawingWidth + gapMm;
  return {QRectF(left, pageMarginMm, right - left, headlineHeightMm),
          QRectF(left, titleTop, right - left, titleHeightMm),
          QRectF(left, middleTop, drawingWidth, middleHeight),
          QRectF(notesLeft, middleTop, right - notesLeft, middleHeight),
          QRectF(left, tableTop, right - left, tableHeightMm)};
}

// The tallest the table may be: what the title block and the smallest
// drawing leave.
double tallestTableMm(QSizeF pageMm, double titleHeightMm) {
  return pageMm.height() - 2.0 * pageMarginMm - headlineHeightMm - titleHeightMm - 2.0 * gapMm -
         smallestDrawingHeightMm;
}

QRectF toDevice(const QRectF& mm) {
  return QRectF(mm.topLeft() * unitsPerMm, mm.size() * unitsPerMm);
}

QString html(const std::string& text) { return QString::fromStdString(text).toHtmlEscaped(); }

QString colourName(ClearanceMark mark) { return clearanceMarkColour(mark).name(); }

// A type size for a style: the substitutions of one page go in one pass of
// QString::arg each, so that a "%1" in a ship's name or a warning stays text.
QString pointsText(double points) { return QString::number(points); }

// The shortest text that reads back as `value`: "118", "0.72".
QString shortestNumber(double value) {
  return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// What the page shows of the design file itself: its SHA-256 and its caption lines.
struct DesignFileFacts {
  QString sha256;
  std::vector<std::string> captions;
};

DesignFileFacts designFileFacts(const std::filesystem::path& designFile) {
  QFile file(QString::fromStdString(designFile.string()));
  if (!file.open(QIODevice::ReadOnly)) {
    throw RunError(ErrorKind::Input,
                   "cannot read the design file again for the clearance report's SHA-256",
                   ErrorLocation{designFile.string()});
  }
  const QByteArray bytes = file.readAll();
  const QByteArray hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
  return {QString::fromLatin1(hash.toHex()),
          designCaptionLines(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))};
}

ClearanceMark statusMark(AssessmentStatus status) {
  switch (status) {
    case AssessmentStatus::Clash: return ClearanceMark::Overlap;
    case AssessmentStatus::Below: return ClearanceMark::BelowMinimum;
    case AssessmentStatus::NotMeasured: return ClearanceMark::NotMeasured;
    case AssessmentStatus::Meets:
    case AssessmentStatus::NoRules: return ClearanceMark::Clear;
  }
  return ClearanceMark::Clear;
}

QString headlineHtml(const ClearanceReportContent& content, double points) {
  return QStringLiteral("<div style=\"font-size:%1pt; color:%2\"><b>%3</b></div>")
      .arg(pointsText(points), colourName(statusMark(content.assessment.status)),
           html(clearanceReportHeadline(content)));
}

// The facts of the title block, a label and its box; an empty box stays empty.
QString titleBoxes(const std::vector<std::pair<QString, QString>>& boxes) {
  QString cells;
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    if (i % 4 == 0) cells += QStringLiteral("<tr>");
    // The last box takes the rest of its row.
    const std::size_t span = i + 1 == boxes.size() ? 4 - i % 4 : 1;
    cells += QStringLiteral("<td colspan=\"%3\"><span style=\"color:#606060\">%1</span><br>%2</td>")
                 .arg(boxes[i].first,
                      boxes[i].second.isEmpty() ? QStringLiteral("&nbsp;") : boxes[i].second)
                 .arg(span);
    if (i % 4 == 3 || i + 1 == boxes.size()) cells += QStringLiteral("</tr>");
  }
  return cells;
}

QString titleBlockHtml(const ClearanceReportContent& content, const DesignFileFacts& facts,
                       const QString& date, int scale, int sheets, double points) {
  const DrawingParticulars drawing = content.ship ? content.ship->drawing : DrawingParticulars{};
  QString captions;
  for (const std::string& line : facts.captions) captions += html(line) + QStringLiteral("<br>");
  const QString boxes = titleBoxes({
      {QStringLiteral("Yard"), html(drawing.yard)},
      {QStringLiteral("Hull no."), html(drawing.hullNumber)},
      {QStringLiteral("Drawing no."), html(drawing.drawingNumber)},
      {QStringLiteral("Revision"), html(drawing.revision)},
      {QStringLiteral("Drawn"), html(drawing.drawnBy)},
      {QStringLiteral("Checked"), html(drawing.checkedBy)},
      {QStringLiteral("Approved"), html(drawing.approvedBy)},
      {QStringLiteral("Date (UTC)"), date},
      {QStringLiteral("Scale"), QStringLiteral("1:%1 on %2").arg(scale).arg(QString::fromLatin1(reportPaperName(content.paper)))},
      {QStringLiteral("Sheet"), QStringLiteral("1 of %1").arg(sheets)},
      {QStringLiteral("Design file"), html(content.designFile.filename().string())},
      {QStringLiteral("Program"), html(std::string(programName) + " " + programVersion)},
      {QStringLiteral("SHA-256 of the design file"),
       QStringLiteral("<span style=\"font-family:'%1'; font-size:%2pt\">%3</span>")
           .arg(codeFont, pointsText(std::max(0.8 * points, smallestPoints)), facts.sha256)},
  });
  return QStringLiteral(
             "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"1\" style=\"font-size:%1pt\">"
             "<tr><td width=\"17%\" valign=\"top\">"
             "<span style=\"font-size:%2pt\"><b>%3</b></span><br>"
             "Propeller clearances: side view<br>Clearance report, not an approval</td>"
             "<td width=\"40%\" valign=\"top\" style=\"font-size:%4pt\">%5</td>"
             "<td valign=\"top\"><table width=\"100%\" border=\"0.5\" cellspacing=\"0\" "
             "cellpadding=\"1\" style=\"border-collapse:collapse; border-color:#000000\">%6</table>"
             "</td></tr></table>")
      .arg(pointsText(points), pointsText(1.6 * points), html(clearanceReportTitle(content)),
           pointsText(std::max(0.85 * points, smallestPoints)), captions, boxes);
}

QString inputsHtml(const RuleSetSummary& set, double propellerDiameter) {
  QStringList inputs;
  for (const RuleInput& input : inputsWithDiameter(set, propellerDiameter)) {
    const QString value = std::holds_alternative<double>(input.value)
                              ? shortestNumber(std::get<double>(input.value))
                              : html(std::get<std::string>(input.value));
    inputs << html(input.symbol) + QStringLiteral(" = ") + value +
                  (input.unit.empty() ? QString() : QStringLiteral(" ") + html(input.unit));
  }
  return inputs.join(QStringLiteral(", "));
}

// Each rule set's source; with `working`, also how its lines map onto the
// clearances and the ship's figures it takes. Both stand in the rule table
// too (its rule and required columns), so the first sheet may leave them out
// to keep the annexes beside the drawing.
QString ruleSourcesHtml(const ClearanceReportContent& content, bool working) {
  if (!content.assessment.rules) {
    return QStringLiteral(
        "<p>No rule check: the clearances are measured but not checked against class rules. "
        "A ship file beside the design file (NAME.ship.toml for NAME.TSK) adds the check.</p>");
  }
  QString text;
  const RuleCheck& check = *content.assessment.rules;
  for (const RuleSetSummary* set : check.ruleSets) {
    if (!working) {
      text += QStringLiteral("<p><b>%1</b>: %2</p>").arg(html(set->name), html(set->source));
      continue;
    }
    text += QStringLiteral("<p><b>%1</b>: %2<br>Mapping: %3<br>Inputs: %4</p>")
                .arg(html(set->name), html(set->source), html(set->mapping),
                     inputsHtml(*set, check.propellerDiameterMetres));
  }
  return text;
}

QString warningsHtml(const std::vector<Warning>& warnings) {
  if (warnings.empty()) return QStringLiteral("<p>none</p>");
  QString list = QStringLiteral("<ul style=\"margin-left:0; -qt-list-indent:1\">");
  for (const Warning& warning : warnings) {
    list += QStringLiteral("<li>%1</li>").arg(html(warning.text));
  }
  return list + QStringLiteral("</ul>");
}

QString propellerHtml(const ClearanceReportContent& content) {
  QStringList pairs;
  for (const auto& [symbol, value] : propellerParticulars(content)) {
    pairs << html(symbol) + QStringLiteral(" ") + html(value);
  }
  return QStringLiteral("<p>%1</p>").arg(pairs.join(QStringLiteral("; ")));
}

QString factorsHtml(const ClearanceReportContent& content) {
  if (!content.assessment.rules) return {};
  QString text;
  for (const RuleSetSummary* set : content.assessment.rules->ruleSets) {
    if (const std::optional<std::string> working = factorWorking(*set)) {
      text += QStringLiteral("%1: %2<br>").arg(html(set->name), html(*working));
    }
  }
  return text.isEmpty() ? text : QStringLiteral("<p>%1</p>").arg(text);
}

// The colours of the drawing's dimensions that occur, with what they mean.
QString legendHtml(const ClearanceReportContent& content) {
  std::vector<ClearanceMark> marks;
  for (int which = 0; which < clearanceCount; ++which) marks.push_back(clearanceMarkOf(content, which));
  std::sort(marks.begin(), marks.end());
  marks.erase(std::unique(marks.begin(), marks.end()), marks.end());
  QStringList entries;
  for (const ClearanceMark mark : marks) {
    entries << QStringLiteral("<span style=\"color:%1\"><b>&#x2014;</b> %2</span>")
                   .arg(colourName(mark), QString::fromLatin1(clearanceMarkMeaning(mark)));
  }
  entries << QStringLiteral("<span style=\"color:#404040\">- - - closest approach to the volume "
                            "the propeller sweeps (dotted outline)</span>");
  return QStringLiteral("<p>%1</p>").arg(entries.join(QStringLiteral("; ")));
}

QString closestApproachHtml(const ClearanceReportContent& content);

// Which of the page's texts stand on the first sheet; the rest go to a
// second sheet of annexes.
struct SheetShare {
  bool notesAnnexes = true;  // rule sources, limits, warnings beside the drawing
  bool ruleWorking = true;   // each rule set's mapping and inputs beside its source
  bool legacyTable = true;   // the mirrored blade's a' and c' beside the table
  bool mainTable = true;     // the rule check's or the clearances' table
};

QString sectionHtml(const char* heading, const QString& body, double points, bool first = false) {
  return QStringLiteral("<p style=\"font-size:%1pt;%2\"><b>%3</b></p>%4")
      .arg(pointsText(1.15 * points), first ? QString() : QStringLiteral(" margin-top:0.3em"),
           QString::fromLatin1(heading), body);
}

// The rule sources, the limits and the warnings of the run.
QString noteAnnexesHtml(const ClearanceReportContent& content, bool ruleWorking, double points) {
  return sectionHtml("Rule sources", ruleSourcesHtml(content, ruleWorking), points) +
         sectionHtml("Limits",
                     QStringLiteral(
                         "<p>Side view only: the clearances are measured in the plane of the "
                         "drawing, on the four-bladed outline drawn, whatever the blade number. "
                         "The lower blade is drawn and measured as the propeller turns it, so its "
                         "a' and c' may differ from the mirrored blade's in the established "
                         "report. Recommended minima are recommendations, not an approval.</p>"),
                     points) +
         sectionHtml("Warnings of the run", warningsHtml(content.assessment.warnings()), points);
}

QString notesHtml(const ClearanceReportContent& content, const SheetShare& share, double points) {
  QString text =
      sectionHtml("Propeller", propellerHtml(content) + factorsHtml(content), points, true) +
      sectionHtml("Drawing", legendHtml(content) + closestApproachHtml(content), points);
  if (share.notesAnnexes) text += noteAnnexesHtml(content, share.ruleWorking, points);
  QStringList moved;
  if (!share.mainTable) moved << QStringLiteral("the table of the rule check");
  if (!share.legacyTable) moved << QStringLiteral("the legacy figures");
  if (!share.notesAnnexes) moved << QStringLiteral("rule sources, limits and warnings");
  if (!moved.isEmpty()) {
    text += QStringLiteral("<p style=\"margin-top:0.8em\"><i>On sheet 2: %1.</i></p>")
                .arg(moved.join(QStringLiteral(", ")));
  }
  return QStringLiteral("<div style=\"font-size:%1pt\">%2</div>").arg(pointsText(points), text);
}

// One table: a grey header row, numbers right-aligned, each row's last cell
// in the colour of its finding.
QString tableRowsHtml(const std::vector<std::string>& header,
                      const std::vector<std::vector<std::string>>& rows,
                      const std::vector<ClearanceMark>& marks, const std::vector<bool>& numeric,
                      int widthPercent) {
  const auto cell = [&numeric](const std::string& text, std::size_t column, const QString& style) {
    return QStringLiteral("<td align=\"%1\"%2>%3</td>")
        .arg(numeric[column] ? QStringLiteral("right") : QStringLiteral("left"), style, html(text));
  };
  QString text = QStringLiteral("<tr bgcolor=\"#e4e4e4\">");
  for (std::size_t column = 0; column < header.size(); ++column) {
    text += cell(header[column], column, QStringLiteral(" style=\"font-weight:bold\""));
  }
  text += QStringLiteral("</tr>");
  for (std::size_t row = 0; row < rows.size(); ++row) {
    const QString colour = QStringLiteral(" style=\"color:%1\"").arg(colourName(marks[row]));
    text += row % 2 == 1 ? QStringLiteral("<tr bgcolor=\"#f4f4f4\">") : QStringLiteral("<tr>");
    for (std::size_t column = 0; column < rows[row].size(); ++column) {
      text += cell(rows[row][column], column, column + 1 == rows[row].size() ? colour : QString());
    }
    text += QStringLiteral("</tr>");
  }
  return QStringLiteral("<table width=\"%1%\" cellspacing=\"0\" cellpadding=\"1\">%2</table>")
      .arg(QString::number(widthPercent), text);
}

// The rule check's preamble beside the annex, then its table and overall line.
QString ruleCheckTableHtml(const Assessment& assessment, const QString& annex) {
  const RuleCheck& check = *assessment.rules;
  RuleCheckTable table = ruleCheckTable(assessment);
  QString text;
  for (const std::string& line : table.preamble) text += html(line) + QStringLiteral("<br>");
  std::vector<ClearanceMark> marks;
  for (const RuleLine& line : check.lines) marks.push_back(clearanceMarkOf(line));
  // The required value with its working: "1.50·K·D = 1.50·0.2038·4.6 = 1.406 m".
  constexpr std::size_t requiredColumn = 4;
  table.header[requiredColumn] = "required";
  for (std::size_t row = 0; row < table.rows.size(); ++row) {
    table.rows[row][requiredColumn] = requiredWorking(check.lines[row], check);
  }
  const std::vector<bool> numeric = {false, true, true, false, false, true, true, true, false};
  return QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr>"
                        "<td width=\"58%\" valign=\"top\">%1</td><td width=\"4%\"></td>"
                        "<td valign=\"top\">%4</td></tr></table>%2<p><b>%3</b></p>")
      .arg(text, tableRowsHtml(table.header, table.rows, marks, numeric, 100), html(table.overall),
           annex);
}

// The six clearances beside the annex.
QString signedGapTableHtml(const ClearanceReportContent& content, const QString& annex) {
  const SignedGapTable table = signedGapTable(content);
  std::vector<ClearanceMark> marks;
  for (int which = 0; which < clearanceCount; ++which) {
    marks.push_back(clearanceMarkOf(content, which));
  }
  const std::vector<bool> numeric = {false, true, true, true, true, false};
  return QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr>"
                        "<td width=\"58%\" valign=\"top\"><p><b>Clearances</b> (D = %1 m; not "
                        "checked against rules)</p>%2<p><b>%3</b></p></td><td width=\"4%\"></td>"
                        "<td valign=\"top\">%4</td></tr></table>")
      .arg(shortestNumber(content.design.propellerDiameter),
           tableRowsHtml(table.header, table.rows, marks, numeric, 100),
           html("Overall: " + overallText(content.assessment)), annex);
}

// The mirrored lower blade's a' and c', as the established report prints them.
QString legacyTableHtml(const ClearanceReportContent& content) {
  const SignedGapTable table = legacyClearanceTable(content);
  const std::vector<ClearanceMark> marks(table.rows.size(), ClearanceMark::Clear);
  return QStringLiteral("<p><b>Annex: legacy figures</b> of the mirrored lower blade, printed by "
                        "the report and the CAD script; not where the blade is</p>%1")
      .arg(tableRowsHtml(table.header, table.rows, marks, {false, true, true}, 100));
}

QString closestApproachHtml(const ClearanceReportContent& content) {
  const SignedGapTable table = closestApproachTable(content);
  std::vector<ClearanceMark> marks;
  for (const auto& row : table.rows) {
    marks.push_back(row.back() == "clear" ? ClearanceMark::Clear : ClearanceMark::Overlap);
  }
  return QStringLiteral("<p>Closest approaches of the structure to the volume the turning "
                        "propeller sweeps (blade thickness neglected)</p>%1")
      .arg(tableRowsHtml(table.header, table.rows, marks, {false, true, true, true, true, false}, 100));
}

QString tableHtml(const ClearanceReportContent& content, bool withLegacy, double points) {
  const QString annex = withLegacy ? legacyTableHtml(content) : QString();
  return QStringLiteral("<div style=\"font-size:%1pt\">%2</div>")
      .arg(pointsText(points), content.assessment.rules
                                   ? ruleCheckTableHtml(content.assessment, annex)
                                   : signedGapTableHtml(content, annex));
}

// Rich text laid out `width` wide (device units) at the largest size from
// `points` down at which it is at most `tallest` high, at the smallest size
// if none (then it does not fit).
class FittedText {
 public:
  FittedText(QPaintDevice& device, double width, double tallest,
             const std::function<QString(double)>& htmlAt, double points) {
    document_.documentLayout()->setPaintDevice(&device);
    document_.setDocumentMargin(0.0);
    QFont font(QString::fromLatin1(reportFontFamily));
    font.setPointSizeF(points);
    document_.setDefaultFont(font);
    // Paragraphs close together: the space goes to the drawing and the type.
    document_.setDefaultStyleSheet(
        QStringLiteral("p { margin-top: 0px; margin-bottom: 0px; } ul { margin-top: 0px; }"));
    document_.setTextWidth(width);
    for (;; points -= shrinkStepPoints) {
      document_.setHtml(htmlAt(points));
      fits_ = height() <= tallest;
      if (fits_ || points - shrinkStepPoints < smallestPoints) break;
    }
  }

  double height() const { return document_.size().height(); }
  bool fits() const { return fits_; }

  void draw(QPainter& painter, const QRectF& box) {
    painter.save();
    painter.translate(box.topLeft());
    document_.drawContents(&painter, QRectF(QPointF(0.0, 0.0), box.size()));
    painter.restore();
  }

 private:
  QTextDocument document_;
  bool fits_ = false;
};

// The boxes inside a frame: text keeps 2 mm off the frame's lines.
QRectF inset(const QRectF& mm) { return mm.adjusted(2.0, 1.5, -2.0, -1.5); }

// The title block's height in mm: what its text takes at its size, at least
// lowestTitleHeightMm.
double titleHeightMmOf(QPagedPaintDevice& writer, double widthMm,
                       const std::function<QString(double)>& htmlAt) {
  const QRectF text = toDevice(inset(QRectF(0.0, 0.0, widthMm, lowestTitleHeightMm)));
  const FittedText title(writer, text.width(), text.height(), htmlAt, titleBlockPoints);
  const double insetHeightMm = lowestTitleHeightMm - checkedDivide(text.height(), unitsPerMm, "the title block");
  return std::max(lowestTitleHeightMm,
                  checkedDivide(title.height(), unitsPerMm, "the title block") + insetHeightMm);
}

// The second sheet: the headline again, then what the first had no room for.
void drawAnnexSheet(QPainter& painter, QPagedPaintDevice& writer,
                    const ClearanceReportContent& content, const SheetShare& share,
                    const QString& drawingName) {
  const QSizeF pageMm = writer.pageLayout().fullRect(QPageLayout::Millimeter).size();
  const PagePlan plan = planPage(pageMm, 0.0, 0.0);
  const QRectF headline = toDevice(plan.headline);
  FittedText(writer, headline.width(), headline.height(),
             [&](double points) { return headlineHtml(content, points); }, headlinePoints)
      .draw(painter, headline);
  const QRectF body = toDevice(QRectF(plan.title.topLeft(), plan.table.bottomRight()));
  FittedText annexes(
      writer, body.width(), body.height(),
      [&](double points) {
        QString text = QStringLiteral("<p style=\"font-size:%1pt\"><b>Sheet 2 of 2: annexes to "
                                      "%2</b></p>")
                           .arg(pointsText(1.15 * points), drawingName);
        if (!share.mainTable) text += tableHtml(content, true, points);
        if (share.mainTable && !share.legacyTable) {
          text += QStringLiteral("<div style=\"font-size:%1pt\">%2</div>")
                      .arg(pointsText(points), legacyTableHtml(content));
        }
        if (!share.notesAnnexes) {
          text += QStringLiteral("<div style=\"font-size:%1pt\">%2</div>")
                      .arg(pointsText(points), noteAnnexesHtml(content, true, points));
        }
        return text;
      },
      notesPoints);
  annexes.draw(painter, body);
}

void drawPage(QPainter& painter, QPagedPaintDevice& writer, const ClearanceReportContent& content,
              const DesignFileFacts& facts, const QString& date) {
  const QSizeF pageMm = writer.pageLayout().fullRect(QPageLayout::Millimeter).size();
  const double contentWidthMm = pageMm.width() - 2.0 * pageMarginMm;
  // The widest scale the box may show, for the title block's height.
  const double titleHeightMm = titleHeightMmOf(writer, contentWidthMm, [&](double points) {
    return titleBlockHtml(content, facts, date, 100000, 2, points);
  });
  // Annexes leave the first sheet, those beside the notes (their rule working
  // first, which the table repeats) or the table that does not fit first,
  // then the table itself, until both fit at 7 pt.
  SheetShare share;
  std::optional<FittedText> table;
  std::optional<FittedText> notes;
  PagePlan plan;
  for (;;) {
    table.reset();
    if (share.mainTable) {
      table.emplace(writer, contentWidthMm * unitsPerMm,
                    tallestTableMm(pageMm, titleHeightMm) * unitsPerMm,
                    [&](double points) { return tableHtml(content, share.legacyTable, points); },
                    tablePoints);
    }
    const double tableHeightMm =
        table ? checkedDivide(table->height(), unitsPerMm, "the height of the report's table") : 0.0;
    plan = planPage(pageMm, titleHeightMm, tableHeightMm);
    const QRectF notesBox = toDevice(plan.notes);
    notes.emplace(writer, notesBox.width(), notesBox.height(),
                  [&](double points) { return notesHtml(content, share, points); }, notesPoints);
    const SheetShare before = share;
    if (!notes->fits()) {
      bool& next = share.ruleWorking ? share.ruleWorking : share.notesAnnexes;
      next = false;
    }
    if (table && !table->fits()) {
      bool& next = share.legacyTable ? share.legacyTable : share.mainTable;
      next = false;
    }
    if (share.notesAnnexes == before.notesAnnexes && share.ruleWorking == before.ruleWorking &&
        share.legacyTable == before.legacyTable && share.mainTable == before.mainTable) {
      break;
    }
  }
  const bool secondSheet = !share.mainTable || !share.legacyTable || !share.notesAnnexes;
  const QRectF drawing = toDevice(plan.drawing);
  const int scale = clearanceReportScale(content, drawing, unitsPerMm);

  const QRectF headline = toDevice(plan.headline);
  FittedText(writer, headline.width(), headline.height(),
             [&](double points) { return headlineHtml(content, points); }, headlinePoints)
      .draw(painter, headline);
  painter.setPen(QPen(Qt::black, framePenMm * unitsPerMm));
  painter.drawRect(toDevice(plan.title));
  const QRectF titleText = toDevice(inset(plan.title));
  FittedText(writer, titleText.width(), titleText.height(),
             [&](double points) {
               return titleBlockHtml(content, facts, date, scale, secondSheet ? 2 : 1, points);
             },
             titleBlockPoints)
      .draw(painter, titleText);
  drawClearanceReportView(painter, drawing, unitsPerMm, content);
  notes->draw(painter, toDevice(plan.notes));
  if (table) table->draw(painter, toDevice(plan.table));
  if (!secondSheet) return;
  writer.newPage();
  const DrawingParticulars drawingFacts = content.ship ? content.ship->drawing : DrawingParticulars{};
  QString name = html(clearanceReportTitle(content));
  if (!drawingFacts.drawingNumber.empty()) {
    name += QStringLiteral(", drawing no. ") + html(drawingFacts.drawingNumber);
  }
  if (!drawingFacts.revision.empty()) name += QStringLiteral(" rev. ") + html(drawingFacts.revision);
  drawAnnexSheet(painter, writer, content, share, name);
}

[[noreturn]] void failReport(const std::string& reason, const OutputFile& file) {
  throw RunError(ErrorKind::FileSystem, "cannot write the clearance report: " + reason,
                 ErrorLocation{file.displayName()});
}


// The sheet of the report, landscape, without margins: the page keeps its own.
QPageLayout reportPageLayout(ReportPaper paper) {
  const QPageSize::PageSizeId size = paper == ReportPaper::A3 ? QPageSize::A3 : QPageSize::A4;
  return QPageLayout(QPageSize(size), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0),
                     QPageLayout::Millimeter);
}

QString reportDocumentTitle(const ClearanceReportContent& content) {
  return QStringLiteral("Clearance report: ") + QString::fromStdString(clearanceReportTitle(content));
}

// Draws the page onto `device`, set to the report's sheet and resolution;
// false when the painter cannot start on it.
bool paintReport(QPagedPaintDevice& device, const ClearanceReportContent& content) {
  const DesignFileFacts facts = designFileFacts(content.designFile);
  const QString date = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
  device.setPageLayout(reportPageLayout(content.paper));
  QPainter painter;
  if (!painter.begin(&device)) return false;
  drawPage(painter, device, content, facts, date);
  painter.end();
  return true;
}

}  // namespace

void writeClearanceReportPdf(const ClearanceReportContent& content, OutputFile& file) {
  QBuffer pdf;
  pdf.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&pdf);
    writer.setResolution(pageDotsPerInch);
    writer.setTitle(reportDocumentTitle(content));
    writer.setCreator(QString::fromLatin1(programName) + QLatin1Char(' ') +
                      QString::fromLatin1(programVersion));
    if (!paintReport(writer, content)) failReport("the page cannot be drawn", file);
  }
  const QByteArray& bytes = pdf.data();
  file.writeText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void printClearanceReport(const ClearanceReportContent& content, QPrinter& printer) {
  printer.setResolution(pageDotsPerInch);
  printer.setFullPage(true);
  printer.setDocName(reportDocumentTitle(content));
  if (!paintReport(printer, content)) {
    throw RunError(ErrorKind::FileSystem, "the printer cannot be started");
  }
}

}  // namespace propclear
