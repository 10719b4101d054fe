#include "ui/studio/clearances_panel.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QVBoxLayout>
#include <initializer_list>

#include "common/checked_math.h"
#include "common/format_number.h"
#include "design/decimal_number.h"
#include "report/rule_check_table.h"
#include "rules/ship_file_text.h"
#include "rules/measured_clearance.h"
#include "rules/stern_arrangement.h"

namespace propclear {

namespace {

constexpr int decimals = 3;
const QColor meetsColour(0x00, 0x80, 0x00);
const QColor belowColour(0xC0, 0x00, 0x00);
const QColor notJudgedColour(0x80, 0x80, 0x80);

QString number(double value) { return QString::fromStdString(formatRounded(value, decimals)); }

QTableWidget* newTable(const QStringList& header, const QString& name) {
  auto* table = new QTableWidget(0, static_cast<int>(header.size()));
  table->setObjectName(name);
  table->setHorizontalHeaderLabels(header);
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  return table;
}

// Numbers right-aligned, words left-aligned.
void setCell(QTableWidget* table, int row, int column, const QString& text, const QColor& colour,
             bool number = true) {
  QTableWidgetItem* item = table->item(row, column);
  if (item == nullptr) {
    item = new QTableWidgetItem;
    table->setItem(row, column, item);
  }
  if (item->text() != text) item->setText(text);
  if (item->foreground().color() != colour) item->setForeground(colour);
  item->setTextAlignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

// The word columns that wrap rather than widen the dock past this many
// pixels: the rules table's rule name and verdict, the clearances table's
// status (a verdict in the rule table's words).
constexpr int ruleColumn = 3;
constexpr int verdictColumn = 8;
constexpr int statusColumn = 5;
constexpr int wrappedColumnMaxPixels = 180;

// The mirrored lower blade's rows below the six.
constexpr int legacyRows = 2;

QString text(std::string_view view) {
  return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

QColor statusColour(AssessmentStatus status) {
  switch (status) {
    case AssessmentStatus::Clash:
    case AssessmentStatus::Below: return belowColour;
    case AssessmentStatus::Meets: return meetsColour;
    case AssessmentStatus::NotMeasured:
    case AssessmentStatus::NoRules: return notJudgedColour;
  }
  return notJudgedColour;
}

// As wide as its shown columns (each sized to its contents by the header):
// the dock scrolls rather than cut a column.
void fitWidthToColumns(QTableWidget* table) {
  int width = 2 * table->frameWidth();
  for (int column = 0; column < table->columnCount(); ++column) {
    if (!table->isColumnHidden(column)) width += table->columnWidth(column);
  }
  table->setMinimumWidth(width);
}

// A long word column wraps in its cells (each whole in its tooltip), so that
// every column stays in view.
void letColumnWrap(QTableWidget* table, int column) {
  table->horizontalHeader()->setSectionResizeMode(column, QHeaderView::Interactive);
}

// The wrapping columns as wide as their text up to the limit, and every row
// at once, never a scroll bar: the dock scrolls instead.
void fitWrappedColumnsAndRows(QTableWidget* table, std::initializer_list<int> wrapped) {
  for (const int column : wrapped) {
    table->resizeColumnToContents(column);
    if (table->columnWidth(column) > wrappedColumnMaxPixels) {
      table->setColumnWidth(column, wrappedColumnMaxPixels);
    }
  }
  table->resizeRowsToContents();
  int height = table->horizontalHeader()->sizeHint().height() + 2 * table->frameWidth() +
               table->horizontalScrollBar()->sizeHint().height();
  for (int row = 0; row < table->rowCount(); ++row) height += table->rowHeight(row);
  table->setMinimumHeight(height);
}

// A clash is a red banner; every other status is coloured text.
QString bannerStyle(AssessmentStatus status) {
  if (status == AssessmentStatus::Clash) {
    return QStringLiteral("background: %1; color: white; font-weight: bold; padding: 4px")
        .arg(belowColour.name());
  }
  return QStringLiteral("color: %1; font-weight: bold; padding: 4px").arg(statusColour(status).name());
}

QColor verdictColour(RuleVerdict verdict) {
  switch (verdict) {
    case RuleVerdict::Meets: return meetsColour;
    case RuleVerdict::BelowMinimum: return belowColour;
    case RuleVerdict::NotMeasured:
    case RuleVerdict::NotApplicable: return notJudgedColour;
  }
  return notJudgedColour;
}

}  // namespace

ClearancesPanel::ClearancesPanel(DesignDocument& document, QWidget* parent)
    : QWidget(parent), document_(document) {
  auto* layout = new QVBoxLayout(this);
  status_ = new QLabel;
  status_->setObjectName(QStringLiteral("statusBanner"));
  status_->setWordWrap(true);
  layout->addWidget(status_);
  state_ = new QLabel;
  state_->setWordWrap(true);
  layout->addWidget(state_);
  clearances_ = newTable({tr("Clearance"), tr("Blade"), tr("m"), tr("/D"), tr("Signed gap (m)"),
                          tr("Status")},
                         QStringLiteral("clearancesTable"));
  clearances_->setRowCount(clearanceCount + legacyRows);
  letColumnWrap(clearances_, statusColumn);
  clearances_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  fitWrappedColumnsAndRows(clearances_, {statusColumn});
  clearances_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  layout->addWidget(clearances_);
  ship_ = new QLabel;
  ship_->setWordWrap(true);
  layout->addWidget(ship_);
  rules_ = newTable({tr("Clearance"), tr("Measured m"), tr("/D"), tr("Rule"), tr("Required m"),
                     tr("/D"), tr("Margin m"), tr("%"), tr("Verdict")},
                    QStringLiteral("rulesTable"));
  // Each margin beside the value it is the margin of; the ratios and the
  // percentage are in the written clearance table.
  for (const int column : {2, 5, 7}) rules_->setColumnHidden(column, true);
  for (const int column : {ruleColumn, verdictColumn}) letColumnWrap(rules_, column);
  rules_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(rules_, 1);
  overall_ = new QLabel;
  overall_->setObjectName(QStringLiteral("overallVerdict"));
  overall_->setWordWrap(true);
  layout->addWidget(overall_);
  particulars_ = particularsBox();
  layout->addWidget(particulars_);
  connect(&document_, &DesignDocument::designChanged, this, &ClearancesPanel::refresh);
  refresh();
}

QGroupBox* ClearancesPanel::particularsBox() {
  auto* box = new QGroupBox(tr("Ship particulars"));
  auto* form = new QFormLayout(box);
  const struct {
    const char* key;
    ParticularEditor::Kind kind;
    QString label;
    QString tip;
  } rows[] = {
      {"name", ParticularEditor::Kind::Text, tr("Name"), tr("The ship's name, as the report shows it")},
      {"rule_length", ParticularEditor::Kind::Number, tr("Rule length L (m)"),
       tr("Rule length L of the ship, in metres")},
      {"block_coefficient", ParticularEditor::Kind::Number, tr("Block coefficient Cb"),
       tr("Block coefficient Cb at the load draught, without unit, in (0, 1]")},
      {"power", ParticularEditor::Kind::Number, tr("Shaft power P (kW)"),
       tr("Shaft power P on the one shaft, in kilowatts")},
      {"blades", ParticularEditor::Kind::Number, tr("Blades Z"),
       tr("Number of propeller blades Z, a whole number from 3 to 6")},
      {"rudder_thickness", ParticularEditor::Kind::Number, tr("Rudder thickness tR (m)"),
       tr("Rudder thickness tR at 0.7R above the shaft centre, in metres")},
      {"ship_type", ParticularEditor::Kind::Text, tr("Ship type"),
       tr("The ship type, for guidance that depends on it: cargo, tanker, ferry, cruise…")},
      {"heel", ParticularEditor::Kind::Point, tr("Heel x, z (m)"),
       tr("The heel of a sole piece under the disc: x and z in metres")},
      {"rule_sets", ParticularEditor::Kind::List, tr("Rule sets"),
       tr("The rule sets to check, separated by commas")},
  };
  particularEditors_.reserve(std::size(rows));
  for (const auto& row : rows) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(row.key));
    edit->setToolTip(row.tip);
    const ParticularEditor& editor =
        particularEditors_.emplace_back(ParticularEditor{row.key, row.kind, edit});
    connect(edit, &QLineEdit::editingFinished, this, [this, &editor] { particularEdited(editor); });
    form->addRow(row.label, edit);
  }
  skew_ = new QComboBox;
  skew_->addItem(QString(), QString());
  skew_->addItem(tr("none"), QStringLiteral("none"));
  skew_->addItem(tr("high"), QStringLiteral("high"));
  connect(skew_, &QComboBox::currentIndexChanged, this, &ClearancesPanel::skewChosen);
  skew_->setToolTip(tr("Blade skew of the propeller: none or high"));
  form->addRow(tr("Skew"), skew_);
  rudder_ = new QComboBox;
  rudder_->setObjectName(QStringLiteral("rudder"));
  rudder_->addItem(tr("not stated"), QString());
  for (const RudderArrangement rudder : {RudderArrangement::Spade, RudderArrangement::SemiSpade,
                                         RudderArrangement::Horn, RudderArrangement::SolePiece}) {
    const QString name = QString::fromLatin1(rudderArrangementName(rudder));
    rudder_->addItem(name, name);
  }
  rudder_->setToolTip(tr("How the rudder is hung; a spade or semi-spade rudder has no heel"));
  connect(rudder_, &QComboBox::currentIndexChanged, this, &ClearancesPanel::rudderChosen);
  form->addRow(tr("Rudder"), rudder_);
  particularsMessage_ = new QLabel;
  particularsMessage_->setWordWrap(true);
  particularsMessage_->setStyleSheet(QStringLiteral("color: #c00000"));
  form->addRow(particularsMessage_);
  return box;
}

// The text as TOML: a number as the shortest text of its value, a text
// quoted, a list of names separated by commas as an array of texts.
void ClearancesPanel::particularEdited(const ParticularEditor& editor) {
  if (refreshing_ || !editor.edit->isModified()) return;
  editor.edit->setModified(false);
  const std::string text = editor.edit->text().trimmed().toStdString();
  std::string toml;
  switch (editor.kind) {
    case ParticularEditor::Kind::Number: {
      const ParsedNumber number = parseDecimalNumber(text);
      if (number.status != NumberStatus::Valid) {
        particularsMessage_->setText(tr("%1: \"%2\" is not a number")
                                         .arg(QString::fromStdString(editor.key),
                                              QString::fromStdString(text)));
        return;
      }
      toml = formatShortest(number.value, "a ship particular");
      break;
    }
    case ParticularEditor::Kind::Text: toml = quotedTomlString(text); break;
    case ParticularEditor::Kind::Point: {
      const QStringList parts = editor.edit->text().split(QLatin1Char(','));
      const ParsedNumber x = parseDecimalNumber(parts.value(0).trimmed().toStdString());
      const ParsedNumber z = parseDecimalNumber(parts.value(1).trimmed().toStdString());
      if (parts.size() != 2 || x.status != NumberStatus::Valid || z.status != NumberStatus::Valid) {
        particularsMessage_->setText(tr("%1: \"%2\" is not a point x, z")
                                         .arg(QString::fromStdString(editor.key),
                                              QString::fromStdString(text)));
        return;
      }
      toml = "{ x = " + formatShortest(x.value, "a ship particular") +
             ", z = " + formatShortest(z.value, "a ship particular") + " }";
      break;
    }
    case ParticularEditor::Kind::List: {
      toml = "[";
      for (const QString& name : editor.edit->text().split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (toml.size() > 1) toml += ", ";
        toml += quotedTomlString(name.trimmed().toStdString());
      }
      toml += "]";
      break;
    }
  }
  particularsMessage_->setText(document_.editShipValue(editor.key, toml));
  if (!particularsMessage_->text().isEmpty()) refreshParticulars();
}

void ClearancesPanel::skewChosen(int index) {
  if (refreshing_ || index <= 0) return;
  const std::string skew = skew_->itemData(index).toString().toStdString();
  particularsMessage_->setText(document_.editShipValue("skew", quotedTomlString(skew)));
}

void ClearancesPanel::rudderChosen(int index) {
  if (refreshing_ || index <= 0) return;
  const std::string rudder = rudder_->itemData(index).toString().toStdString();
  particularsMessage_->setText(document_.editShipValue("rudder", quotedTomlString(rudder)));
}

void ClearancesPanel::refreshParticulars() {
  particulars_->setVisible(!document_.shipPath().empty());
  if (document_.shipPath().empty()) return;
  refreshing_ = true;
  particulars_->setTitle(tr("Ship particulars (%1)")
                             .arg(QString::fromStdString(document_.shipPath().filename().string())));
  const std::optional<ShipParticulars>& ship = document_.ship();
  const auto number = [](const auto& value) {
    return value ? QString::fromStdString(formatShortest(static_cast<double>(*value), "a ship particular"))
                 : QString();
  };
  for (const ParticularEditor& editor : particularEditors_) {
    if (editor.edit->hasFocus() && editor.edit->isModified()) continue;
    QString text;
    if (ship) {
      if (editor.key == "name") text = QString::fromStdString(ship->name);
      if (editor.key == "rule_length") text = number(ship->ruleLengthMetres);
      if (editor.key == "block_coefficient") text = number(ship->blockCoefficient);
      if (editor.key == "power") text = number(ship->shaftPowerKilowatts);
      if (editor.key == "blades") text = number(ship->bladeCount);
      if (editor.key == "rudder_thickness") text = number(ship->rudderThicknessMetres);
      if (editor.key == "ship_type") text = QString::fromStdString(ship->shipType);
      if (editor.key == "heel" && ship->heel) {
        text = number(std::optional(ship->heel->x)) + QStringLiteral(", ") +
               number(std::optional(ship->heel->z));
      }
      if (editor.key == "rule_sets") {
        QStringList names;
        for (const std::string& name : ship->ruleSets) names << QString::fromStdString(name);
        text = names.join(QStringLiteral(", "));
      }
    }
    if (editor.edit->text() != text) editor.edit->setText(text);
  }
  const int skewIndex = !ship || !ship->skew ? 0 : *ship->skew == PropellerSkew::High ? 2 : 1;
  skew_->setCurrentIndex(skewIndex);
  rudder_->setCurrentIndex(ship && ship->rudder ? 1 + static_cast<int>(*ship->rudder) : 0);
  refreshing_ = false;
}

void ClearancesPanel::refresh() {
  const StudioAnalysis& analysis = document_.analysis();
  const bool current = analysis.fault.isEmpty();
  if (!document_.hasDesign()) {
    state_->setText(tr("No design open."));
  } else if (!current) {
    state_->setText(tr("<span style='color:#c00000'>Cannot analyse: %1</span><br>"
                       "The values below are those of the last design that could be analysed.")
                        .arg(analysis.fault.toHtmlEscaped()));
  } else {
    state_->setText(tr("D = %1 m").arg(number(document_.design().propellerDiameter)));
  }
  clearances_->setEnabled(document_.hasDesign() && current);
  if (analysis.lastGood && document_.hasDesign()) {
    showStatus(*analysis.lastGood, current);
    showClearances(*analysis.lastGood, current);
  } else {
    status_->clear();
    status_->setStyleSheet({});
    clearances_->clearContents();
  }
  showRules();
  refreshParticulars();
  fitWidthToColumns(clearances_);
  fitWidthToColumns(rules_);
}

void ClearancesPanel::showStatus(const Assessment& assessment, bool current) {
  status_->setText(tr("Overall: %1").arg(QString::fromStdString(overallText(assessment))));
  status_->setStyleSheet(current ? bannerStyle(assessment.status) : QString());
}

void ClearancesPanel::showRow(int row, const QString& name, const QString& blade,
                              const ClearanceSegment& segment, double perDiameter,
                              const std::optional<double>& gap, const QString& status,
                              const QColor& colour) {
  setCell(clearances_, row, 0, name, colour, false);
  setCell(clearances_, row, 1, blade, colour, false);
  setCell(clearances_, row, 2, number(segment.length), colour);
  setCell(clearances_, row, 3, number(perDiameter), colour);
  setCell(clearances_, row, 4,
          gap ? number(*gap) + (overlaps(gap) ? tr(" overlap") : QString()) : tr("not measured"),
          gap ? colour : notJudgedColour);
  setCell(clearances_, row, statusColumn, status, colour, false);
  clearances_->item(row, statusColumn)->setToolTip(status);
}

// The six clearances as judged, then the mirrored lower blade's legacy a'
// and c' in grey, as the report and the CAD script print them.
void ClearancesPanel::showClearances(const Assessment& assessment, bool current) {
  int row = 0;
  for (const AssessedClearance& clearance : assessment.clearances) {
    const QColor colour = !current ? notJudgedColour
                          : clearance.status == AssessmentStatus::Clash ||
                                  clearance.status == AssessmentStatus::Below
                              ? belowColour
                              : QColor(Qt::black);
    showRow(row++, text(clearance.name), QString::fromUtf8(bladeName(clearance.blade)),
            clearance.segment, clearance.perDiameter, clearance.signedGap,
            QString::fromStdString(clearanceStatusText(assessment, clearance)), colour);
  }
  const double diameter = document_.design().propellerDiameter;
  for (const LegacyClearance& legacy : assessment.legacyLowerBlade) {
    const double perDiameter = checkedDivide(legacy.segment.length, diameter, "a clearance over D");
    showRow(row++, tr("legacy %1 (mirrored)").arg(text(legacy.name)), tr("lower blade mirrored"),
            legacy.segment, perDiameter, legacy.signedGap, tr("report and script only"),
            notJudgedColour);
  }
  fitWrappedColumnsAndRows(clearances_, {statusColumn});
}

void ClearancesPanel::showRules() {
  const StudioAnalysis& analysis = document_.analysis();
  if (!document_.ship() && analysis.rulesFault.isEmpty()) {
    ship_->setText(document_.hasFile() ? tr("No ship file beside the design: no rule check.")
                                       : QString());
    rules_->hide();
    overall_->clear();
    return;
  }
  rules_->show();
  const QString shipName = QString::fromStdString(document_.shipPath().filename().string());
  if (!analysis.rulesFault.isEmpty()) {
    ship_->setText(tr("<span style='color:#c00000'>Ship file %1: %2</span>")
                       .arg(shipName.toHtmlEscaped(), analysis.rulesFault.toHtmlEscaped()));
  } else {
    ship_->setText(tr("Ship file %1").arg(shipName));
  }
  if (!analysis.lastGood || !analysis.lastGood->rules) {
    rules_->setRowCount(0);
    overall_->clear();
    return;
  }
  const RuleCheck& check = *analysis.lastGood->rules;
  const RuleCheckTable table = ruleCheckTable(*analysis.lastGood);
  rules_->setRowCount(static_cast<int>(table.rows.size()));
  for (std::size_t row = 0; row < table.rows.size(); ++row) {
    const QColor colour = verdictColour(check.lines[row].verdict);
    for (std::size_t column = 0; column < table.rows[row].size(); ++column) {
      const bool word = column == 0 || column == 3 || column == 8;  // clearance, rule, verdict
      const QString text = QString::fromStdString(table.rows[row][column]);
      setCell(rules_, static_cast<int>(row), static_cast<int>(column), text, colour, !word);
      if (word) rules_->item(static_cast<int>(row), static_cast<int>(column))->setToolTip(text);
    }
  }
  fitWrappedColumnsAndRows(rules_, {ruleColumn, verdictColumn});
  overall_->setText(QString::fromStdString(table.overall));
  overall_->setStyleSheet(QStringLiteral("color: %1; font-weight: bold")
                              .arg(statusColour(analysis.lastGood->status).name()));
}

}  // namespace propclear
