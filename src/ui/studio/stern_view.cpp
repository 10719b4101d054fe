#include "ui/studio/stern_view.h"

#include <QGestureEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "common/format_number.h"
#include "ui/render_drawing.h"

namespace propclear {

namespace {

constexpr double handleRadiusPixels = 4.0;
constexpr double grabDistancePixels = 7.0;
constexpr double wheelStepFactor = 1.25;  // per notch of 120 eighths of a degree
constexpr double keyPanPixels = 40.0;
constexpr double fitMargin = 0.06;  // of the box, on each side
constexpr double snapStep = 0.001;          // m
constexpr double fineSnapStep = 0.0001;     // m, with Shift

const QColor handleColour(0x20, 0x20, 0x20);
const QColor draggedColour(0xE0, 0x60, 0x00);
const QColor faultColour(0xC0, 0x00, 0x00);

QRectF unite(QRectF box, QPointF point) {
  return box.isNull() ? QRectF(point, QSizeF(0, 0)) : box.united(QRectF(point, QSizeF(0, 0)));
}

// The longest round length (1, 2 or 5 times a power of ten) not longer than
// `metres`.
double roundLength(double metres) {
  const double power = std::pow(10.0, std::floor(std::log10(metres)));
  for (const double step : {5.0, 2.0, 1.0}) {
    if (step * power <= metres) return step * power;
  }
  return power;
}

QString metresText(double value) { return QString::fromStdString(formatRounded(value, 3)); }

}  // namespace

double snapMetres(double value, std::optional<double> step) {
  if (!step) return value;
  const double perMetre = std::round(1.0 / *step);
  return std::round(value * perMetre) / perMetre;
}

SternView::SternView(DesignDocument& document, QWidget* parent)
    : QWidget(parent), document_(document) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(320, 240);
  setAttribute(Qt::WA_OpaquePaintEvent);
  grabGesture(Qt::PinchGesture);
  connect(&document_, &DesignDocument::designChanged, this, &SternView::designChanged);
}

void SternView::designChanged() {
  if (!document_.hasDesign()) hasView_ = false;
  if (!hasView_ && document_.analysis().lastGood) fit();
  update();
}

// Everything drawn: the stern contour, the rudder, the propeller disc and the
// hub, with a margin.
void SternView::fit() {
  const StudioAnalysis& analysis = document_.analysis();
  if (!analysis.lastGood) return;
  const DesignData& design = document_.design();
  const PlotExtent& extent = analysis.lastGood->analysis.extent;
  QRectF box(QPointF(extent.min, extent.min), QPointF(extent.max, extent.max));
  for (int corner = 1; corner <= rudderCornerCount; ++corner) {
    box = unite(box, QPointF(design.rudderX[corner], design.rudderZ[corner]));
  }
  const double radius = std::max(0.5 * std::fabs(design.propellerDiameter),
                                 0.75 * hubLength(design));
  box = unite(box, QPointF(design.propellerCentreX - radius, design.propellerCentreZ - radius));
  box = unite(box, QPointF(design.propellerCentreX + radius, design.propellerCentreZ + radius));
  box = unite(box, QPointF(extent.min, design.waterlineHeight));
  showBox(box);
  viewFitted_ = true;
}

void SternView::zoomToPropeller() {
  const DesignData& design = document_.design();
  if (!document_.hasDesign()) return;
  const double half = 0.8 * std::max(std::fabs(design.propellerDiameter), 0.1);
  showBox(QRectF(QPointF(design.propellerCentreX - half, design.propellerCentreZ - half),
                 QPointF(design.propellerCentreX + half, design.propellerCentreZ + half)));
  viewFitted_ = false;
}

void SternView::showBox(QRectF box) {
  const double marginX = std::max(box.width(), 0.1) * fitMargin;
  const double marginZ = std::max(box.height(), 0.1) * fitMargin;
  box.adjust(-marginX, -marginZ, marginX, marginZ);
  const std::optional<QTransform> mapping =
      fittedUserScale(box.left(), box.bottom(), box.right(), box.top(), size());
  if (!mapping) return;
  metresToPixels_ = *mapping;
  hasView_ = true;
  update();
}

void SternView::zoomBy(double factor, QPointF anchorPixel) {
  const double scale = std::fabs(metresToPixels_.m11()) * factor;
  // Between a drawing a few kilometres wide and a millimetre filling the view.
  if (scale < 1e-3 || scale > 1e6) return;
  metresToPixels_ = metresToPixels_ * QTransform::fromTranslate(-anchorPixel.x(), -anchorPixel.y()) *
                    QTransform::fromScale(factor, factor) *
                    QTransform::fromTranslate(anchorPixel.x(), anchorPixel.y());
  viewFitted_ = false;
  update();
}

void SternView::zoomIn() { zoomBy(wheelStepFactor, rect().center()); }

void SternView::zoomOut() { zoomBy(1.0 / wheelStepFactor, rect().center()); }

void SternView::panBy(QPointF pixels) {
  metresToPixels_ = metresToPixels_ * QTransform::fromTranslate(pixels.x(), pixels.y());
  viewFitted_ = false;
  update();
}

QPointF SternView::metresAt(QPointF pixel) const {
  return metresToPixels_.inverted().map(pixel);
}

void SternView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const StudioAnalysis& analysis = document_.analysis();
  if (!document_.hasDesign() || analysis.drawing.empty()) {
    painter.fillRect(rect(), palette().window());
    painter.drawText(rect(), Qt::AlignCenter,
                     tr("No design open.\nFile > Open… or File > New from example"));
    return;
  }
  renderDrawing(analysis.drawing, painter, size(), DrawingView{metresToPixels_, true});
  paintHandles(painter);
  paintScaleBar(painter);
  paintNotes(painter);
  if (!painted_) {
    painted_ = true;
    emit firstPainted();
  }
}

void SternView::paintHandles(QPainter& painter) const {
  painter.setRenderHint(QPainter::Antialiasing, true);
  const DesignData& design = document_.design();
  const auto square = [&](double x, double z, bool dragged) {
    const QPointF at = pixelOf(x, z);
    painter.setPen(QPen(dragged ? draggedColour : handleColour, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(at.x() - handleRadiusPixels, at.y() - handleRadiusPixels,
                            2 * handleRadiusPixels, 2 * handleRadiusPixels));
  };
  const auto isDragged = [&](DesignField field, int index) {
    return dragged_ && dragged_->x.field == field && dragged_->x.index == index;
  };
  for (int i = 1; i <= design.contourPointCount[sternContourRow]; ++i) {
    square(design.contourX[sternContourRow][i], design.contourZ[sternContourRow][i],
           isDragged(DesignField::ContourX, i));
  }
  for (int corner = 1; corner <= rudderCornerCount; ++corner) {
    square(design.rudderX[corner], design.rudderZ[corner], isDragged(DesignField::RudderX, corner));
  }
  square(design.propellerCentreX, design.propellerCentreZ,
         isDragged(DesignField::PropellerCentreX, 0));
  if (dragged_) {
    const double x = fieldValue(design, dragged_->x);
    const double z = fieldValue(design, dragged_->z);
    const QString coordinates = tr("x %1 m, z %2 m").arg(metresText(x), metresText(z));
    painter.setPen(draggedColour);
    painter.drawText(pixelOf(x, z) + QPointF(10, -10), coordinates);
  }
}

void SternView::paintScaleBar(QPainter& painter) const {
  const double pixelsPerMetre = std::fabs(metresToPixels_.m11());
  if (!(pixelsPerMetre > 0.0)) return;
  const double metres = roundLength(width() / 4.0 / pixelsPerMetre);
  const double length = metres * pixelsPerMetre;
  const QPointF start(12.0, height() - 14.0);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(Qt::black, 2.0));
  painter.drawLine(start, start + QPointF(length, 0));
  painter.drawLine(start + QPointF(0, -4), start + QPointF(0, 4));
  painter.drawLine(start + QPointF(length, -4), start + QPointF(length, 4));
  const QString label = metres >= 1.0 ? tr("%1 m").arg(metres) : tr("%1 mm").arg(metres * 1000.0);
  painter.drawText(start + QPointF(length + 6, 4), label);
}

// Why the drawing is not the design's own: the analysis's fault.
void SternView::paintNotes(QPainter& painter) const {
  const QString& fault = document_.analysis().fault;
  if (fault.isEmpty()) return;
  const QRectF box(8, 8, width() - 16, 48);
  painter.fillRect(box, QColor(0xFF, 0xF0, 0xF0));
  painter.setPen(faultColour);
  painter.drawText(box.adjusted(6, 4, -6, -4), Qt::TextWordWrap | Qt::AlignLeft,
                   tr("Cannot analyse this design (the last good drawing is shown): %1").arg(fault));
}

void SternView::resizeEvent(QResizeEvent*) {
  if (viewFitted_) fit();
}

// The propeller centre before the rudder corners before the contour points,
// each the nearest one within reach.
std::optional<SternView::Handle> SternView::handleAt(QPointF pixel) const {
  if (!document_.hasDesign()) return std::nullopt;
  const DesignData& design = document_.design();
  const auto near = [&](double x, double z) {
    const QPointF offset = pixelOf(x, z) - pixel;
    return std::hypot(offset.x(), offset.y()) <= grabDistancePixels;
  };
  if (near(design.propellerCentreX, design.propellerCentreZ)) {
    return Handle{{DesignField::PropellerCentreX, 0}, {DesignField::PropellerCentreZ, 0}};
  }
  for (int corner = 1; corner <= rudderCornerCount; ++corner) {
    if (near(design.rudderX[corner], design.rudderZ[corner])) {
      return Handle{{DesignField::RudderX, corner}, {DesignField::RudderZ, corner}};
    }
  }
  for (int i = 1; i <= design.contourPointCount[sternContourRow]; ++i) {
    if (near(design.contourX[sternContourRow][i], design.contourZ[sternContourRow][i])) {
      return Handle{{DesignField::ContourX, i}, {DesignField::ContourZ, i}};
    }
  }
  return std::nullopt;
}

void SternView::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  const QPointF at = event->position();
  if (event->button() == Qt::LeftButton) dragged_ = handleAt(at);
  if (dragged_) {
    dragSerial_ = document_.newDragSerial();
  } else if (event->button() == Qt::LeftButton || event->button() == Qt::MiddleButton) {
    panFrom_ = at;
    setCursor(Qt::ClosedHandCursor);
  }
  update();
}

void SternView::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  lastCursor_ = at;
  if (document_.hasDesign()) emit cursorMoved(metresAt(at));
  if (dragged_) {
    dragHandleTo(at, event->modifiers());
  } else if (panFrom_) {
    panBy(at - *panFrom_);
    panFrom_ = at;
  } else {
    setCursor(handleAt(at) ? Qt::PointingHandCursor : Qt::CrossCursor);
  }
}

void SternView::dragHandleTo(QPointF pixel, Qt::KeyboardModifiers modifiers) {
  std::optional<double> step = snapStep;
  if (modifiers & Qt::AltModifier) {
    step.reset();
  } else if (modifiers & Qt::ShiftModifier) {
    step = fineSnapStep;
  }
  const QPointF metres = metresAt(pixel);
  document_.dragTo(dragSerial_, {{dragged_->x, snapMetres(metres.x(), step)},
                                 {dragged_->z, snapMetres(metres.y(), step)}});
}

void SternView::mouseReleaseEvent(QMouseEvent*) {
  dragged_.reset();
  panFrom_.reset();
  unsetCursor();
  update();
}

void SternView::leaveEvent(QEvent*) { emit cursorMoved(std::nullopt); }

void SternView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches != 0.0) zoomBy(std::pow(wheelStepFactor, notches), event->position());
  event->accept();
}

bool SternView::event(QEvent* event) {
  if (event->type() == QEvent::Gesture) {
    auto* gestures = static_cast<QGestureEvent*>(event);
    if (auto* pinch = static_cast<QPinchGesture*>(gestures->gesture(Qt::PinchGesture))) {
      zoomBy(pinch->scaleFactor(), mapFromGlobal(pinch->centerPoint()));
      return true;
    }
  }
  if (event->type() == QEvent::NativeGesture) {
    const auto* gesture = static_cast<QNativeGestureEvent*>(event);
    if (gesture->gestureType() == Qt::ZoomNativeGesture) {
      zoomBy(1.0 + gesture->value(), gesture->position());
      return true;
    }
  }
  return QWidget::event(event);
}

void SternView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left: panBy(QPointF(keyPanPixels, 0)); break;
    case Qt::Key_Right: panBy(QPointF(-keyPanPixels, 0)); break;
    case Qt::Key_Up: panBy(QPointF(0, keyPanPixels)); break;
    case Qt::Key_Down: panBy(QPointF(0, -keyPanPixels)); break;
    default: QWidget::keyPressEvent(event); return;
  }
  event->accept();
}

}  // namespace propclear
