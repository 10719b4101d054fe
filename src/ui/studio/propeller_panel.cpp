#include "ui/studio/propeller_panel.h"

#include <QApplication>
#include <QClipboard>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <optional>

#include "common/format_number.h"
#include "design/contour_table_text.h"
#include "design/decimal_number.h"

namespace propclear {

namespace {

constexpr const char* outlineTableKey = "outline";

// The outline's columns as the file names them, the panel's heading, and the
// table's own column.
struct OutlineColumn {
  const char* key;
  const char* heading;
  std::vector<double> PropellerTable::*values;
};
constexpr std::array<OutlineColumn, 6> outlineColumns = {{
    {"r_over_R", "r/R", &PropellerTable::radiusRatio},
    {"chord_over_D", "c/D", &PropellerTable::chordPerDiameter},
    {"leading_edge_over_chord", "a/c", &PropellerTable::edge2PerChord},
    {"skew_deg", "Skew (deg)", &PropellerTable::skewDegrees},
    {"pitch_over_D", "P/D", &PropellerTable::pitchRatio},
    {"rake_over_D", "Rake/D", &PropellerTable::rakePerDiameter},
}};

// The columns the table holds: the optional ones only where given.
std::vector<OutlineColumn> shownColumns(const PropellerTable& table) {
  std::vector<OutlineColumn> shown;
  for (const OutlineColumn& column : outlineColumns) {
    if (!(table.*column.values).empty()) shown.push_back(column);
  }
  return shown;
}

QString propellerValueText(double value) {
  return QString::fromStdString(formatShortest(value, "a value of the propeller file"));
}

// A cell's text as a TOML number: a decimal comma taken as a point, and a
// whole number written as a float ("1.0") so the file keeps floats.
std::optional<std::string> tomlNumber(std::string text) {
  for (char& c : text) {
    if (c == ',') c = '.';
  }
  const ParsedNumber number = parseDecimalNumber(text);
  if (number.status != NumberStatus::Valid) return std::nullopt;
  std::string written = formatShortest(number.value, "a value of the propeller file");
  if (written.find_first_of(".e") == std::string::npos) written += ".0";
  return written;
}

void showPropellerFault(QLabel* message, const QString& fault) {
  message->setText(fault);
  message->setVisible(!fault.isEmpty());
}

QLabel* faultLabel() {
  auto* message = new QLabel;
  message->setWordWrap(true);
  message->setStyleSheet(QStringLiteral("color: #c00000"));
  message->hide();
  return message;
}

}  // namespace

PropellerPanel::PropellerPanel(DesignDocument& document, QWidget* parent)
    : QWidget(parent), document_(document) {
  auto* layout = new QVBoxLayout(this);
  file_ = new QLabel;
  file_->setWordWrap(true);
  layout->addWidget(file_);
  create_ = new QPushButton(tr("Create from the B-series outline"));
  create_->setObjectName(QStringLiteral("createPropellerFile"));
  create_->setToolTip(tr("A propeller file beside the design, holding the B-series outline of its Ear"));
  connect(create_, &QPushButton::clicked, &document_, &DesignDocument::createPropellerFile);
  layout->addWidget(create_, 0, Qt::AlignLeft);
  layout->addWidget(settingsBox());
  layout->addWidget(outlineBox(), 1);
  connect(&document_, &DesignDocument::designChanged, this, &PropellerPanel::refresh);
  refresh();
}

QWidget* PropellerPanel::settingsBox() {
  auto* box = new QGroupBox(tr("Propeller"));
  settings_ = box;
  auto* form = new QFormLayout(box);
  blades_ = new QLineEdit;
  blades_->setObjectName(QStringLiteral("blades"));
  blades_->setToolTip(tr("Number of blades Z, 3 to 7"));
  bladesMessage_ = faultLabel();
  hubLength_ = new QLineEdit;
  hubLength_->setObjectName(QStringLiteral("hub_length"));
  hubLength_->setToolTip(tr("Hub length along the shaft, m"));
  hubLengthMessage_ = faultLabel();
  form->addRow(tr("Blades"), blades_);
  form->addRow(QString(), bladesMessage_);
  form->addRow(tr("Hub length (m)"), hubLength_);
  form->addRow(QString(), hubLengthMessage_);
  connect(blades_, &QLineEdit::editingFinished, this,
          [this] { settingEdited(blades_, bladesMessage_, "blades"); });
  connect(hubLength_, &QLineEdit::editingFinished, this,
          [this] { settingEdited(hubLength_, hubLengthMessage_, "hub_length"); });
  return box;
}

QWidget* PropellerPanel::outlineBox() {
  auto* box = new QGroupBox(tr("Blade outline"));
  outlineGroup_ = box;
  auto* layout = new QVBoxLayout(box);
  outline_ = new QTableWidget(0, 0);
  outline_->setObjectName(QStringLiteral("outlineTable"));
  outline_->verticalHeader()->setDefaultSectionSize(outline_->fontMetrics().height() + 6);
  outline_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  outline_->horizontalHeader()->setStretchLastSection(true);
  connect(outline_, &QTableWidget::cellChanged, this, &PropellerPanel::cellEdited);
  auto* paste = new QShortcut(QKeySequence::Paste, outline_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(paste, &QShortcut::activated, this, &PropellerPanel::pasteOutline);
  layout->addWidget(outline_, 1);
  outlineMessage_ = faultLabel();
  layout->addWidget(outlineMessage_);
  auto* pasteButton = new QPushButton(tr("Paste"));
  pasteButton->setToolTip(tr("Write a table from the clipboard over the outline from the current cell on"));
  connect(pasteButton, &QPushButton::clicked, this, &PropellerPanel::pasteOutline);
  layout->addWidget(pasteButton, 0, Qt::AlignLeft);
  return box;
}

void PropellerPanel::take(const std::vector<PropellerValue>& values, QLabel* message,
                          const QString& what) {
  const QString fault = document_.editPropellerValues(values, what);
  // A refused value gives way to the file's, its reason beside it.
  if (!fault.isEmpty()) refresh();
  showPropellerFault(message, fault);
}

void PropellerPanel::settingEdited(QLineEdit* edit, QLabel* message, const char* key) {
  if (refreshing_ || !edit->isModified()) return;
  edit->setModified(false);
  std::string text = edit->text().trimmed().toStdString();
  std::optional<std::string> value;
  if (edit == blades_) {
    const ParsedNumber number = parseDecimalNumber(text);
    if (number.status == NumberStatus::Valid) value = text;
  } else {
    value = tomlNumber(text);
  }
  if (!value) {
    showPropellerFault(message, tr("%1 = %2: must be a number").arg(QLatin1String(key), edit->text()));
    return;
  }
  take({{std::string(), key, std::nullopt, *value}}, message, tr("Change %1").arg(QLatin1String(key)));
}

void PropellerPanel::cellEdited(int row, int column) {
  if (refreshing_ || !document_.design().propeller) return;
  const std::vector<OutlineColumn> columns = shownColumns(*document_.design().propeller);
  const QString text = outline_->item(row, column)->text();
  const std::optional<std::string> value = tomlNumber(text.trimmed().toStdString());
  const char* key = columns[static_cast<std::size_t>(column)].key;
  if (!value) {
    showPropellerFault(outlineMessage_, tr("[outline] %1 station %2 = %3: must be a number")
                                            .arg(QLatin1String(key)).arg(row + 1).arg(text));
    refreshOutline();
    return;
  }
  take({{outlineTableKey, key, static_cast<std::size_t>(row), *value}}, outlineMessage_,
       tr("Change %1").arg(QLatin1String(key)));
}

void PropellerPanel::pasteOutline() {
  if (!document_.design().propeller) return;
  const std::vector<OutlineColumn> columns = shownColumns(*document_.design().propeller);
  const int firstRow = std::max(outline_->currentRow(), 0);
  const int firstColumn = std::max(outline_->currentColumn(), 0);
  std::vector<PropellerValue> values;
  int row = firstRow;
  for (const PastedRow& pasted : pastedRowsOf(QApplication::clipboard()->text().toStdString())) {
    for (std::size_t cell = 0; cell < pasted.cells.size(); ++cell) {
      const std::size_t column = static_cast<std::size_t>(firstColumn) + cell;
      std::optional<std::string> value = tomlNumber(pasted.cells[cell]);
      if (row >= outline_->rowCount() || column >= columns.size() || !value) {
        const QString why = value ? tr("it reaches beyond the table") : tr("it is not a number");
        showPropellerFault(outlineMessage_, tr("Paste refused: line %1, cell %2: %3")
                                                .arg(pasted.line).arg(cell + 1).arg(why));
        return;
      }
      values.push_back({outlineTableKey, columns[column].key, static_cast<std::size_t>(row),
                        std::move(*value)});
    }
    ++row;
  }
  if (values.empty()) {
    showPropellerFault(outlineMessage_, tr("Paste refused: the clipboard holds no table"));
    return;
  }
  take(values, outlineMessage_, tr("Paste outline"));
}

void PropellerPanel::refresh() {
  const std::optional<PropellerTable>& table = document_.design().propeller;
  const bool hasFile = !document_.propellerPath().empty() && table.has_value();
  file_->setText(hasFile ? QString::fromStdString(document_.propellerPath().filename().string())
                         : tr("No propeller file beside the design: the blade is the "
                              "four-bladed B-series outline of the design's main data."));
  create_->setVisible(!hasFile);
  create_->setEnabled(document_.hasFile());
  settings_->setEnabled(hasFile);
  outlineGroup_->setEnabled(hasFile);
  refreshing_ = true;
  if (hasFile) {
    blades_->setText(QString::number(table->bladeCount));
    hubLength_->setText(table->hubLengthMetres ? propellerValueText(*table->hubLengthMetres)
                                               : QString());
  } else {
    blades_->clear();
    hubLength_->clear();
  }
  refreshing_ = false;
  refreshOutline();
}

void PropellerPanel::refreshOutline() {
  refreshing_ = true;
  const std::optional<PropellerTable>& table = document_.design().propeller;
  if (!table || document_.propellerPath().empty()) {
    outline_->setRowCount(0);
    outline_->setColumnCount(0);
    refreshing_ = false;
    return;
  }
  const std::vector<OutlineColumn> columns = shownColumns(*table);
  outline_->setColumnCount(static_cast<int>(columns.size()));
  QStringList headings;
  for (const OutlineColumn& column : columns) headings << tr(column.heading);
  outline_->setHorizontalHeaderLabels(headings);
  outline_->setRowCount(static_cast<int>(table->radiusRatio.size()));
  for (int column = 0; column < static_cast<int>(columns.size()); ++column) {
    const std::vector<double>& values = (*table).*columns[static_cast<std::size_t>(column)].values;
    for (int row = 0; row < static_cast<int>(values.size()); ++row) {
      const QString text = propellerValueText(values[static_cast<std::size_t>(row)]);
      QTableWidgetItem* item = outline_->item(row, column);
      if (item == nullptr) {
        outline_->setItem(row, column, new QTableWidgetItem(text));
      } else if (item->text() != text) {
        item->setText(text);
      }
    }
  }
  refreshing_ = false;
}

}  // namespace propclear
