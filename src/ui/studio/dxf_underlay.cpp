#include "ui/studio/dxf_underlay.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>

#include "common/run_error.h"
#include "ui/studio/drawing_lines.h"
#include "ui/studio/drawing_placement.h"
#include "ui/studio/stern_view.h"

namespace propclear {

namespace {

// Light and thin: the stern stays readable over it.
const QColor underlayColour(0x60, 0x80, 0xB0, 0x70);

// The drawing's lines over the view, following its zoom and pan.
class UnderlayLayer : public QWidget {
 public:
  UnderlayLayer(SternView& view, QPainterPath lines)
      : QWidget(&view), view_(view), lines_(std::move(lines)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(view.rect());
    view.installEventFilter(this);
    show();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &view_ && event->type() == QEvent::Resize) setGeometry(view_.rect());
    return false;
  }

  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(view_.metresToPixels());
    QPen pen(underlayColour);
    pen.setCosmetic(true);
    pen.setWidthF(1.0);
    painter.setPen(pen);
    painter.drawPath(lines_);
  }

 private:
  SternView& view_;
  QPainterPath lines_;
};

QPointer<UnderlayLayer>& shownUnderlay() {
  static QPointer<UnderlayLayer> layer;
  return layer;
}

// Asks for the drawing, its unit and origin, and lays it under the stern.
void chooseUnderlay(SternView& view) {
  const QString path =
      QFileDialog::getOpenFileName(&view, QObject::tr("Underlay drawing"), {},
                                   QObject::tr("DXF drawings (*.dxf *.DXF);;All files (*)"));
  if (path.isEmpty()) return;
  const std::string name = QFileInfo(path).fileName().toStdString();
  try {
    const DxfDrawing drawing = readDxfDrawing(path.toStdString(), name);
    QDialog dialog(&view);
    dialog.setWindowTitle(QObject::tr("Underlay %1").arg(QString::fromStdString(name)));
    auto* layout = new QVBoxLayout(&dialog);
    auto* form = new QFormLayout;
    layout->addWidget(new QLabel(
        QObject::tr("%1 entities; the drawing's x is the design's x, its y the height z.")
            .arg(drawing.entities.size())));
    layout->addLayout(form);
    DrawingPlacement placement(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return;
    showUnderlay(view, drawing, placement.frameOf(drawing, name));
  } catch (const RunError& error) {
    QMessageBox::warning(&view, QObject::tr("Cannot show the drawing"),
                         QString::fromStdString(error.what()));
  }
}

}  // namespace

void showUnderlay(SternView& view, const DxfDrawing& drawing, const DrawingFrame& frame) {
  delete shownUnderlay();
  shownUnderlay() = new UnderlayLayer(view, drawingLines(drawing, frame));
}

void addUnderlayActions(QMenu* menu, SternView& view) {
  QAction* choose = menu->addAction(QObject::tr("&Underlay…"));
  QObject::connect(choose, &QAction::triggered, &view, [&view] { chooseUnderlay(view); });
  QAction* remove = menu->addAction(QObject::tr("&Remove underlay"));
  QObject::connect(remove, &QAction::triggered, &view, [] { delete shownUnderlay(); });
}

}  // namespace propclear
