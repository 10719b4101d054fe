#include "ui/studio/import_stern_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>

#include "common/run_error.h"
#include "import/import_design.h"
#include "ui/render_drawing.h"
#include "ui/studio/design_document.h"
#include "ui/studio/drawing_lines.h"
#include "ui/studio/drawing_placement.h"

namespace propclear {

namespace {

const QColor drawingColour(0xA0, 0xA8, 0xB8);
const QColor contourColour(0x00, 0x40, 0xC0);
const QColor breakColour(0xC0, 0x00, 0x00);
const QColor rudderColour(0x00, 0x80, 0x40);

// The drawing faintly, the traced contour with its points (break points in
// red) and the rudder with its corners numbered, fitted into the widget.
class ImportPreview : public QWidget {
 public:
  ImportPreview() { setMinimumSize(420, 420); }

  void show(QPainterPath drawing, std::optional<DesignData> traced) {
    drawing_ = std::move(drawing);
    traced_ = std::move(traced);
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF box = drawing_.boundingRect();
    if (traced_) box = box.united(tracedPath().boundingRect());
    if (box.isEmpty()) return;
    box.adjust(-box.width() * 0.04, -box.height() * 0.04, box.width() * 0.04, box.height() * 0.04);
    const std::optional<QTransform> mapping =
        fittedUserScale(box.left(), box.bottom(), box.right(), box.top(), size());
    if (!mapping) return;
    painter.setTransform(*mapping);
    painter.setPen(cosmetic(drawingColour, 1.0));
    painter.drawPath(drawing_);
    if (!traced_) return;
    painter.setPen(cosmetic(contourColour, 2.0));
    painter.drawPath(tracedPath());
    painter.resetTransform();
    const DesignData& d = *traced_;
    const int n = d.contourPointCount[sternContourRow];
    for (int k = 1; k <= n; ++k) {
      const bool corner = d.contourCode[sternContourRow][k] == breakCode;
      painter.setBrush(corner ? breakColour : contourColour);
      painter.setPen(Qt::NoPen);
      const QPointF at =
          mapping->map(QPointF(d.contourX[sternContourRow][k], d.contourZ[sternContourRow][k]));
      painter.drawEllipse(at, corner ? 4.0 : 2.5, corner ? 4.0 : 2.5);
    }
    painter.setPen(rudderColour);
    for (int corner = 1; corner <= rudderCornerCount; ++corner) {
      const QPointF at = mapping->map(QPointF(d.rudderX[corner], d.rudderZ[corner]));
      painter.drawText(at + QPointF(4, -4), QString::number(corner));
    }
  }

 private:
  static QPen cosmetic(const QColor& colour, double width) {
    QPen pen(colour);
    pen.setCosmetic(true);
    pen.setWidthF(width);
    return pen;
  }

  QPainterPath tracedPath() const {
    QPainterPath path;
    const DesignData& d = *traced_;
    const int n = d.contourPointCount[sternContourRow];
    for (int k = 1; k <= n; ++k) {
      const QPointF p(d.contourX[sternContourRow][k], d.contourZ[sternContourRow][k]);
      if (k == 1) {
        path.moveTo(p);
      } else {
        path.lineTo(p);
      }
    }
    for (int corner = 1; corner <= rudderCornerCount; ++corner) {
      const QPointF p(d.rudderX[corner], d.rudderZ[corner]);
      if (corner == 1) {
        path.moveTo(p);
      } else {
        path.lineTo(p);
      }
    }
    path.closeSubpath();
    return path;
  }

  QPainterPath drawing_;
  std::optional<DesignData> traced_;
};

QComboBox* layerBox(const DxfDrawing& drawing) {
  auto* box = new QComboBox;
  box->addItem(QObject::tr("Automatic"));
  std::vector<std::string> layers;
  for (const DxfEntity& e : drawing.entities) {
    if (std::find(layers.begin(), layers.end(), e.layer) == layers.end()) layers.push_back(e.layer);
  }
  for (const std::string& layer : layers) box->addItem(QString::fromStdString(layer));
  return box;
}

// The dialog: its choices, re-imported and previewed at every change.
class ImportSternDialog : public QDialog {
 public:
  ImportSternDialog(QWidget* parent, const DxfDrawing& drawing, std::string name,
                    const DesignData& design)
      : QDialog(parent), drawing_(drawing), name_(std::move(name)), design_(design) {
    setWindowTitle(tr("Import stern from %1").arg(QString::fromStdString(name_)));
    auto* form = new QFormLayout;
    contourLayer_ = layerBox(drawing);
    rudderLayer_ = layerBox(drawing);
    tolerance_ = new QDoubleSpinBox;
    tolerance_->setRange(0.01, 1000.0);
    tolerance_->setValue(1.0);
    tolerance_->setSuffix(tr(" mm"));
    cornerAngle_ = new QDoubleSpinBox;
    cornerAngle_->setRange(1.0, 179.0);
    cornerAngle_->setValue(30.0);
    cornerAngle_->setSuffix(tr("°"));
    form->addRow(tr("Contour layer:"), contourLayer_);
    form->addRow(tr("Rudder layer:"), rudderLayer_);
    form->addRow(tr("Tolerance:"), tolerance_);
    form->addRow(tr("Break points at corners sharper than:"), cornerAngle_);
    placement_ = new DrawingPlacement(form);
    summary_ = new QLabel;
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    summary_->setMinimumWidth(360);
    auto* choices = new QVBoxLayout;
    choices->addLayout(form);
    choices->addWidget(summary_, 1, Qt::AlignTop);
    preview_ = new ImportPreview;
    auto* columns = new QHBoxLayout;
    columns->addLayout(choices);
    columns->addWidget(preview_, 1);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons_->button(QDialogButtonBox::Ok)->setText(tr("Import"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QComboBox* box : {contourLayer_, rudderLayer_}) {
      connect(box, &QComboBox::currentIndexChanged, this, &ImportSternDialog::reimport);
    }
    for (QDoubleSpinBox* box : {tolerance_, cornerAngle_}) {
      connect(box, &QDoubleSpinBox::valueChanged, this, &ImportSternDialog::reimport);
    }
    connect(placement_, &DrawingPlacement::changed, this, &ImportSternDialog::reimport);
    reimport();
  }

  const std::optional<ImportedDesign>& imported() const { return imported_; }

 private:
  ImportOptions options() const {
    ImportOptions o;
    o.drawingName = name_;
    if (contourLayer_->currentIndex() > 0)
      o.contourLayer = contourLayer_->currentText().toStdString();
    if (rudderLayer_->currentIndex() > 0) o.rudderLayer = rudderLayer_->currentText().toStdString();
    o.tracing.tolerance = tolerance_->value() / 1000.0;
    o.tracing.cornerAngle = cornerAngle_->value();
    o.unit = placement_->unit();
    o.origin = placement_->origin();
    o.settings = propellerSettingsOf(design_);  // the open design keeps its propeller and waterline
    return o;
  }

  void reimport() {
    imported_.reset();
    QPainterPath lines;
    try {
      lines = drawingLines(drawing_, placement_->frameOf(drawing_, name_));
      imported_ = importDesign(drawing_, options());
      QStringList text;
      for (const std::string& line : imported_->summary) text << QString::fromStdString(line);
      summary_->setStyleSheet({});
      summary_->setText(text.join(QLatin1Char('\n')));
    } catch (const RunError& error) {
      summary_->setStyleSheet(QStringLiteral("color: #c00000"));
      summary_->setText(QString::fromStdString(error.what()));
    }
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(imported_.has_value());
    preview_->show(lines, imported_ ? std::optional<DesignData>(imported_->design) : std::nullopt);
  }

  const DxfDrawing& drawing_;
  std::string name_;
  DesignData design_;
  QComboBox* contourLayer_;
  QComboBox* rudderLayer_;
  QDoubleSpinBox* tolerance_;
  QDoubleSpinBox* cornerAngle_;
  DrawingPlacement* placement_;
  QLabel* summary_;
  ImportPreview* preview_;
  QDialogButtonBox* buttons_;
  std::optional<ImportedDesign> imported_;
};

// The imported contour and rudder into the document, one undo step.
void applyImport(DesignDocument& document, const DesignData& imported, const QString& name) {
  document.undoStack().beginMacro(QObject::tr("Import stern from %1").arg(name));
  document.replaceContour(sternContourOf(imported), QObject::tr("Import contour"));
  std::vector<std::pair<FieldRef, double>> corners;
  for (int corner = 1; corner <= rudderCornerCount; ++corner) {
    corners.push_back({{DesignField::RudderX, corner}, imported.rudderX[corner]});
    corners.push_back({{DesignField::RudderZ, corner}, imported.rudderZ[corner]});
  }
  document.dragTo(document.newDragSerial(), corners);
  document.undoStack().endMacro();
}

}  // namespace

bool importSternFrom(QWidget* window, DesignDocument& document, const std::filesystem::path& path) {
  const QString name = QString::fromStdString(path.filename().string());
  try {
    const DxfDrawing drawing = readDxfDrawing(path, name.toStdString());
    if (!document.hasDesign()) document.newFromExample();
    ImportSternDialog dialog(window, drawing, name.toStdString(), document.design());
    if (dialog.exec() != QDialog::Accepted || !dialog.imported()) return false;
    applyImport(document, dialog.imported()->design, name);
    return true;
  } catch (const std::exception& error) {
    QMessageBox::warning(window, QObject::tr("Cannot import the drawing"),
                         QString::fromStdString(error.what()));
    return false;
  }
}

void addImportSternAction(QMenu* menu, QWidget* window, DesignDocument& document) {
  QAction* action = menu->addAction(QObject::tr("&Import stern from DXF…"));
  QObject::connect(action, &QAction::triggered, window, [window, &document] {
    const QString path =
        QFileDialog::getOpenFileName(window, QObject::tr("Import stern from DXF"), {},
                                     QObject::tr("DXF drawings (*.dxf *.DXF);;All files (*)"));
    if (!path.isEmpty()) importSternFrom(window, document, path.toStdString());
  });
}

}  // namespace propclear
