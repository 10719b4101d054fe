#include "ui/studio/design_panel.h"

#include <QApplication>
#include <QClipboard>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "common/format_number.h"
#include "design/contour_table_text.h"

namespace propclear {

namespace {

constexpr int editorCount = 8 + 2 * rudderCornerCount;
const DesignField contourColumns[3] = {DesignField::ContourZ, DesignField::ContourX,
                                       DesignField::ContourCode};

// What each field holds and in which unit, for its tooltip.
QString fieldTip(FieldRef ref) {
  switch (ref.field) {
    case DesignField::PropellerCentreX:
      return QObject::tr("Propeller centre x: the shaft's position aft of the aft perpendicular, m");
    case DesignField::PropellerCentreZ:
      return QObject::tr("Propeller centre z: the shaft's height above the base line, m");
    case DesignField::WaterlineHeight:
      return QObject::tr("Design waterline z: its height above the base line, m");
    case DesignField::PropellerDiameter: return QObject::tr("Propeller diameter D, m");
    case DesignField::HubDiameter: return QObject::tr("Hub diameter Dh, m");
    case DesignField::PitchRatio: return QObject::tr("Pitch ratio P/D, without unit");
    case DesignField::AreaRatio: return QObject::tr("Expanded blade area ratio Ear, without unit");
    case DesignField::RakeAngle: return QObject::tr("Blade rake angle, degrees");
    case DesignField::RudderX:
      return QObject::tr("Rudder corner %1: x from the aft perpendicular, m").arg(ref.index);
    case DesignField::RudderZ:
      return QObject::tr("Rudder corner %1: z above the base line, m").arg(ref.index);
    case DesignField::ContourZ: return QObject::tr("Stern contour point: z above the base line, m");
    case DesignField::ContourX:
      return QObject::tr("Stern contour point: x from the aft perpendicular, m");
    case DesignField::ContourCode:
      return QObject::tr("Point code: 1 a point of the curve, 0 a break point");
  }
  return {};
}

QString valueText(double value) {
  return QString::fromStdString(formatShortest(value, "a value of the design"));
}

void markRefused(QWidget* widget, bool refused) {
  widget->setStyleSheet(refused ? QStringLiteral("background: #ffd8d8") : QString());
}

}  // namespace

DesignPanel::DesignPanel(DesignDocument& document, QWidget* parent)
    : QWidget(parent), document_(document) {
  editors_.reserve(editorCount);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(propellerBox());
  layout->addWidget(rudderBox());
  layout->addWidget(contourBox(), 1);
  connect(&document_, &DesignDocument::designChanged, this, &DesignPanel::refresh);
  refresh();
}

DesignPanel::FieldEditor& DesignPanel::addEditor(FieldRef ref) {
  auto* edit = new QLineEdit;
  // As wide as the panel allows, not as wide as a line edit would like.
  edit->setMinimumWidth(70);
  edit->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  edit->setObjectName(QString::fromStdString(fieldName(ref)));
  edit->setAccessibleName(QString::fromStdString(fieldName(ref)));
  edit->setToolTip(fieldTip(ref));
  auto* message = new QLabel;
  message->setWordWrap(true);
  message->setStyleSheet(QStringLiteral("color: #c00000"));
  message->hide();
  FieldEditor& editor = editors_.emplace_back(FieldEditor{ref, edit, message});
  edit->installEventFilter(this);
  connect(edit, &QLineEdit::editingFinished, this, [this, &editor] { fieldEdited(editor); });
  return editor;
}

QWidget* DesignPanel::propellerBox() {
  auto* box = new QGroupBox(tr("Propeller and waterline"));
  auto* form = new QFormLayout(box);
  const std::pair<DesignField, QString> rows[] = {
      {DesignField::PropellerCentreX, tr("Centre x (m)")},
      {DesignField::PropellerCentreZ, tr("Centre z (m)")},
      {DesignField::WaterlineHeight, tr("Waterline z (m)")},
      {DesignField::PropellerDiameter, tr("D (m)")},
      {DesignField::HubDiameter, tr("Dh (m)")},
      {DesignField::PitchRatio, tr("P/D")},
      {DesignField::AreaRatio, tr("Ear")},
      {DesignField::RakeAngle, tr("Rake (deg)")},
  };
  for (const auto& [field, label] : rows) {
    FieldEditor& editor = addEditor(FieldRef{field, 0});
    form->addRow(label, editor.edit);
    form->addRow(QString(), editor.message);
  }
  return box;
}

QWidget* DesignPanel::rudderBox() {
  auto* box = new QGroupBox(tr("Rudder corners"));
  auto* grid = new QGridLayout(box);
  grid->addWidget(new QLabel(tr("x (m)")), 0, 1);
  grid->addWidget(new QLabel(tr("z (m)")), 0, 2);
  for (int corner = 1; corner <= rudderCornerCount; ++corner) {
    const int row = 2 * corner - 1;
    grid->addWidget(new QLabel(tr("%1").arg(corner)), row, 0);
    FieldEditor& x = addEditor(FieldRef{DesignField::RudderX, corner});
    FieldEditor& z = addEditor(FieldRef{DesignField::RudderZ, corner});
    grid->addWidget(x.edit, row, 1);
    grid->addWidget(z.edit, row, 2);
    grid->addWidget(x.message, row + 1, 1);
    grid->addWidget(z.message, row + 1, 2);
  }
  return box;
}

QWidget* DesignPanel::contourBox() {
  auto* box = new QGroupBox(tr("Stern contour"));
  auto* layout = new QVBoxLayout(box);
  contour_ = new QTableWidget(0, 3);
  contour_->setObjectName(QStringLiteral("contourTable"));
  contour_->setHorizontalHeaderLabels({tr("z (m)"), tr("x (m)"), tr("code")});
  for (int column = 0; column < 3; ++column) {
    contour_->horizontalHeaderItem(column)->setToolTip(fieldTip(FieldRef{contourColumns[column], 1}));
  }
  contour_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  contour_->setSelectionBehavior(QAbstractItemView::SelectRows);
  connect(contour_, &QTableWidget::cellChanged, this, &DesignPanel::cellEdited);
  auto* paste = new QShortcut(QKeySequence::Paste, contour_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(paste, &QShortcut::activated, this, &DesignPanel::pasteContour);
  layout->addWidget(contour_, 1);

  // Two rows of buttons, so that the panel stays narrow beside the drawing.
  auto* buttons = new QGridLayout;
  int placed = 0;
  const auto button = [&](const QString& text, const QString& tip, auto slot) {
    auto* pushButton = new QPushButton(text);
    pushButton->setToolTip(tip);
    connect(pushButton, &QPushButton::clicked, this, slot);
    buttons->addWidget(pushButton, placed / 3, placed % 3);
    ++placed;
  };
  button(tr("Insert"), tr("Insert a point after the selected one"), [this] { insertPoint(); });
  button(tr("Delete"), tr("Delete the selected point"), [this] { deletePoint(); });
  button(tr("Up"), tr("Move the selected point up the list"), [this] { movePoint(-1); });
  button(tr("Down"), tr("Move the selected point down the list"), [this] { movePoint(1); });
  button(tr("Paste"), tr("Replace the contour by a table from the clipboard (z, x, code)"),
         [this] { pasteContour(); });
  layout->addLayout(buttons);
  contourMessage_ = new QLabel;
  contourMessage_->setWordWrap(true);
  contourMessage_->setStyleSheet(QStringLiteral("color: #c00000"));
  contourMessage_->hide();
  layout->addWidget(contourMessage_);
  return box;
}

void DesignPanel::showFault(QLabel* message, const QString& fault) {
  message->setText(fault);
  message->setVisible(!fault.isEmpty());
  if (!fault.isEmpty()) emit statusMessage(fault);
}

DesignPanel::FieldEditor* DesignPanel::editorOf(QObject* widget) {
  for (FieldEditor& editor : editors_) {
    if (editor.edit == widget) return &editor;
  }
  return nullptr;
}

// A line edit takes undo and redo keys for its own text history, which knows
// nothing of the design: with nothing typed the keys go on to the window's
// Undo and Redo; with text typed, undo gives the design's value back.
bool DesignPanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) {
    return QWidget::eventFilter(watched, event);
  }
  FieldEditor* editor = editorOf(watched);
  auto* key = static_cast<QKeyEvent*>(event);
  const bool undo = key->matches(QKeySequence::Undo);
  const bool redo = key->matches(QKeySequence::Redo) ||
                    key->keyCombination() == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
  if (editor == nullptr || !(undo || redo)) return QWidget::eventFilter(watched, event);
  const bool typed = editor->edit->isModified();
  if (event->type() == QEvent::ShortcutOverride) {
    // Accepted: the key comes to the field; ignored: the window's action has it.
    event->setAccepted(typed);
    return true;
  }
  if (typed && undo) showDesignValue(*editor);
  return true;
}

void DesignPanel::showDesignValue(FieldEditor& editor) {
  editor.edit->setText(valueText(fieldValue(document_.design(), editor.ref)));
  editor.edit->setModified(false);
  markRefused(editor.edit, false);
  showFault(editor.message, QString());
}

void DesignPanel::fieldEdited(FieldEditor& editor) {
  if (refreshing_ || !document_.hasDesign() || !editor.edit->isModified()) return;
  editor.edit->setModified(false);
  const FieldEntry entry = checkFieldText(editor.ref, editor.edit->text().toStdString());
  markRefused(editor.edit, !entry.value);
  if (!entry.value) {
    showFault(editor.message, QString::fromStdString(entry.fault));
    return;
  }
  showFault(editor.message, QString());
  if (lastEditedMessage_ != nullptr && lastEditedMessage_ != editor.message) {
    lastEditedMessage_->hide();
  }
  lastEditedMessage_ = editor.message;
  document_.editValue(editor.ref, *entry.value);
}

void DesignPanel::cellEdited(int row, int column) {
  if (refreshing_ || !document_.hasDesign()) return;
  QTableWidgetItem* item = contour_->item(row, column);
  if (item == nullptr) return;
  const FieldRef ref{contourColumns[column], row + 1};
  const FieldEntry entry = checkFieldText(ref, item->text().toStdString());
  if (!entry.value) {
    showFault(contourMessage_, QString::fromStdString(entry.fault));
    refreshContourTable();  // the refused text gives way to the value
    return;
  }
  showFault(contourMessage_, QString());
  lastEditedMessage_ = contourMessage_;
  document_.editValue(ref, *entry.value);
}

void DesignPanel::pasteContour() {
  if (!document_.hasDesign()) return;
  const ContourTableParse table =
      parseContourTable(QApplication::clipboard()->text().toStdString());
  if (!table.fault.empty()) {
    showFault(contourMessage_, tr("Paste refused: %1").arg(QString::fromStdString(table.fault)));
    return;
  }
  showFault(contourMessage_, QString());
  lastEditedMessage_ = contourMessage_;
  document_.replaceContour(table.points, tr("Paste contour"));
}

// The new point halfway to the next one, or a step above the last.
void DesignPanel::insertPoint() {
  if (!document_.hasDesign()) return;
  std::vector<ContourPoint> points = sternContourOf(document_.design());
  if (points.size() >= static_cast<std::size_t>(maxContourPoints)) {
    showFault(contourMessage_, tr("A stern contour has at most %1 points").arg(maxContourPoints));
    return;
  }
  const int row = contour_->currentRow() < 0 ? static_cast<int>(points.size()) - 1
                                             : contour_->currentRow();
  ContourPoint point;
  if (row >= 0 && row + 1 < static_cast<int>(points.size())) {
    const ContourPoint& a = points[static_cast<std::size_t>(row)];
    const ContourPoint& b = points[static_cast<std::size_t>(row) + 1];
    point = {0.5 * (a.z + b.z), 0.5 * (a.x + b.x), a.code};
  } else if (row >= 0) {
    const ContourPoint& last = points[static_cast<std::size_t>(row)];
    point = {last.z + 0.5, last.x, last.code};
  }
  points.insert(points.begin() + (row + 1), point);
  document_.replaceContour(points, tr("Insert contour point"));
  contour_->setCurrentCell(row + 1, 0);
}

void DesignPanel::deletePoint() {
  const int row = contour_->currentRow();
  if (!document_.hasDesign() || row < 0) return;
  std::vector<ContourPoint> points = sternContourOf(document_.design());
  if (row >= static_cast<int>(points.size())) return;
  points.erase(points.begin() + row);
  document_.replaceContour(points, tr("Delete contour point"));
}

void DesignPanel::movePoint(int by) {
  const int row = contour_->currentRow();
  std::vector<ContourPoint> points = sternContourOf(document_.design());
  const int target = row + by;
  if (!document_.hasDesign() || row < 0 || target < 0 ||
      target >= static_cast<int>(points.size())) {
    return;
  }
  std::swap(points[static_cast<std::size_t>(row)], points[static_cast<std::size_t>(target)]);
  document_.replaceContour(points, tr("Move contour point"));
  contour_->setCurrentCell(target, contour_->currentColumn());
}

void DesignPanel::refresh() {
  refreshing_ = true;
  const bool open = document_.hasDesign();
  for (FieldEditor& editor : editors_) {
    editor.edit->setEnabled(open);
    // Text being typed stays; everything else shows the design.
    if (editor.edit->hasFocus() && editor.edit->isModified()) continue;
    const QString text = open ? valueText(fieldValue(document_.design(), editor.ref)) : QString();
    if (editor.edit->text() != text) editor.edit->setText(text);
    markRefused(editor.edit, false);
    if (editor.message != lastEditedMessage_) editor.message->hide();
  }
  refreshContourTable();
  refreshing_ = false;
  if (lastEditedMessage_ != nullptr) {
    const QString& fault = document_.analysis().fault;
    if (!fault.isEmpty()) {
      showFault(lastEditedMessage_, tr("Cannot analyse: %1").arg(fault));
    } else if (lastEditedMessage_->text().startsWith(tr("Cannot analyse"))) {
      showFault(lastEditedMessage_, QString());
    }
  }
}

void DesignPanel::refreshContourTable() {
  const bool wasRefreshing = refreshing_;
  refreshing_ = true;
  const std::vector<ContourPoint> points =
      document_.hasDesign() ? sternContourOf(document_.design()) : std::vector<ContourPoint>{};
  contour_->setEnabled(document_.hasDesign());
  contour_->setRowCount(static_cast<int>(points.size()));
  for (int row = 0; row < static_cast<int>(points.size()); ++row) {
    const ContourPoint& point = points[static_cast<std::size_t>(row)];
    const double values[3] = {point.z, point.x, point.code};
    for (int column = 0; column < 3; ++column) {
      const QString text = valueText(values[column]);
      QTableWidgetItem* item = contour_->item(row, column);
      if (item == nullptr) {
        item = new QTableWidgetItem(text);
        item->setToolTip(fieldTip(FieldRef{contourColumns[column], row + 1}));
        contour_->setItem(row, column, item);
      } else if (item->text() != text) {
        item->setText(text);
      }
    }
  }
  refreshing_ = wasRefreshing;
}

}  // namespace propclear
