#include "ui/studio/stern_view.h"

#include <QGestureEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <iterator>
#include <cmath>

#include "common/format_number.h"
#include "plot/draw_stern_plot.h"
#include "sheet/sheet_layout.h"
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
const QColor ghostColour(0x50, 0x50, 0x50, 0x80);
const QColor measureColour(0x00, 0x50, 0xC0);

struct BannerColours {
  QColor background;
  QColor text;
};

// A clash red and loud; a shortfall pale red; met green; the rest grey.
BannerColours bannerColours(AssessmentStatus status) {
  switch (status) {
    case AssessmentStatus::Clash: return {QColor(0xC0, 0x00, 0x00), Qt::white};
    case AssessmentStatus::Below: return {QColor(0xFF, 0xD8, 0xD8), QColor(0xA0, 0x00, 0x00)};
    case AssessmentStatus::Meets: return {QColor(0xD8, 0xF0, 0xD8), QColor(0x00, 0x60, 0x00)};
    case AssessmentStatus::NotMeasured:
    case AssessmentStatus::NoRules: break;
  }
  return {QColor(0xEC, 0xEC, 0xEC), QColor(0x30, 0x30, 0x30)};
}

bool drawsSomething(DrawOp op) {
  return op == DrawOp::DrawLine || op == DrawOp::DrawCircle || op == DrawOp::MoveTextCursor ||
         op == DrawOp::PrintText;
}

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

// The outline is drawn from a dashed line style up to its label.
std::vector<DrawCommand> withoutLegacyLowerBlade(const std::vector<DrawCommand>& commands) {
  const auto isLabel = [](const DrawCommand& command) {
    return command.op == DrawOp::PrintText && command.text == legacyBladeLabel;
  };
  const auto label = std::find_if(commands.begin(), commands.end(), isLabel);
  if (label == commands.end()) return commands;
  // The outline: the lines of the drawing's first dashed run, before the label.
  const auto isStyle = [](const DrawCommand& command) { return command.op == DrawOp::SetLineStyle; };
  const auto dashed = std::find_if(commands.begin(), label, [](const DrawCommand& command) {
    return command.op == DrawOp::SetLineStyle && command.size == static_cast<int>(LineStyle::Dashed);
  });
  if (dashed == label) return commands;
  const auto outlineEnd = std::find_if(dashed + 1, commands.end(), isStyle);
  // A label placed off its blade is printed after its leader, its colour and its place.
  const auto labelIndex = label - commands.begin();
  const bool hasLeader = labelIndex >= 3 && (label - 1)->op == DrawOp::MoveTextCursor &&
                         (label - 2)->op == DrawOp::SetTextColour &&
                         (label - 3)->op == DrawOp::DrawLine && label > outlineEnd;
  std::vector<DrawCommand> kept;
  for (auto command = commands.begin(); command != commands.end(); ++command) {
    const bool inOutline = command > dashed && command < outlineEnd;
    if (command == label || (hasLeader && command == label - 3)) continue;
    if (inOutline && drawsSomething(command->op)) continue;
    kept.push_back(*command);
  }
  return kept;
}

QString measurementText(QPointF from, QPointF to) {
  const double dx = to.x() - from.x();
  const double dz = to.y() - from.y();
  return QObject::tr("d %1 m   \u0394x %2 m   \u0394z %3 m")
      .arg(metresText(std::hypot(dx, dz)), metresText(dx), metresText(dz));
}

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
  viewDrawingCurrent_ = false;
  if (!document_.hasDesign()) {
    hasView_ = false;
    measured_.clear();
  }
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
  // The labels left of the aft perpendicular (A.P.) start where the sheet puts them.
  box = unite(box, QPointF(-sheetPart(extent.range, 25), extent.min));
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
  renderDrawing(shownDrawing(), painter, size(), DrawingView{metresToPixels_, false});
  paintSavedGhost(painter);
  paintHandles(painter);
  paintMeasurement(painter);
  paintScaleBar(painter);
  paintStatusBanner(painter);
  paintNotes(painter);
  if (!painted_) {
    painted_ = true;
    emit firstPainted();
  }
}

// The labels laid out anew for the view's scale and size, so that none
// overprints however it is zoomed; without the legacy outline when hidden.
const std::vector<DrawCommand>& SternView::shownDrawing() {
  const StudioAnalysis& analysis = document_.analysis();
  if (viewDrawingCurrent_ && viewDrawingTransform_ == metresToPixels_ && viewDrawingSize_ == size() &&
      viewDrawingLegacy_ == legacyBladeShown_) {
    return viewDrawing_;
  }
  DrawingSurface surface(analysis.unlabelledDrawing);
  const PlotMapping mapping{metresToPixels_.m11(), metresToPixels_.m22(), metresToPixels_.dx(),
                            metresToPixels_.dy()};
  placePlotLabels(analysis.labels, surface, printLabelStyle(),
                  PlotLabelView{mapping, PlotSize{width(), height()}, 1.0});
  viewDrawing_ = legacyBladeShown_ ? surface.commands() : withoutLegacyLowerBlade(surface.commands());
  viewDrawingCurrent_ = true;
  viewDrawingTransform_ = metresToPixels_;
  viewDrawingSize_ = size();
  viewDrawingLegacy_ = legacyBladeShown_;
  return viewDrawing_;
}

void SternView::setLegacyBladeShown(bool shown) {
  legacyBladeShown_ = shown;
  update();
}

void SternView::setSavedGhostShown(bool shown) {
  savedGhostShown_ = shown;
  update();
}

void SternView::setMeasuring(bool measuring) {
  measuring_ = measuring;
  measured_.clear();
  setCursor(measuring ? Qt::CrossCursor : Qt::ArrowCursor);
  update();
}

// The overall status across the top, for the design as it stands.
void SternView::paintStatusBanner(QPainter& painter) const {
  const StudioAnalysis& analysis = document_.analysis();
  if (!analysis.lastGood || !analysis.fault.isEmpty()) return;
  const BannerColours colours = bannerColours(analysis.lastGood->status);
  QFont font = painter.font();
  font.setBold(true);
  painter.setFont(font);
  // As many lines as the text needs in the view's width.
  const QString text = QString::fromStdString(overallText(*analysis.lastGood));
  const QRectF textRect = QFontMetricsF(font).boundingRect(
      QRectF(10, 5, std::max(width() - 20, 20), 1000), Qt::TextWordWrap, text);
  const QRectF box(0, 0, width(), textRect.bottom() + 5);
  painter.fillRect(box, colours.background);
  painter.setPen(colours.text);
  painter.drawText(box.adjusted(10, 0, -10, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                   text);
  font.setBold(false);
  painter.setFont(font);
}

// The design as last saved, in grey and dashed, while it has changes: its
// stern contour through its points, its rudder and its propeller's disc.
void SternView::paintSavedGhost(QPainter& painter) const {
  if (!savedGhostShown_ || !document_.differsFromSaved()) return;
  const DesignData& saved = document_.savedDesign();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(ghostColour, 1.2, Qt::DashLine));
  painter.setBrush(Qt::NoBrush);
  QPolygonF contour;
  for (int i = 1; i <= saved.contourPointCount[sternContourRow]; ++i) {
    contour << pixelOf(saved.contourX[sternContourRow][i], saved.contourZ[sternContourRow][i]);
  }
  painter.drawPolyline(contour);
  QPolygonF rudder;
  for (int corner = 1; corner <= rudderCornerCount; ++corner) {
    rudder << pixelOf(saved.rudderX[corner], saved.rudderZ[corner]);
  }
  painter.drawPolygon(rudder);
  const double radius = 0.5 * std::fabs(saved.propellerDiameter);
  const QPointF top = pixelOf(saved.propellerCentreX, saved.propellerCentreZ + radius);
  painter.drawLine(top, pixelOf(saved.propellerCentreX, saved.propellerCentreZ - radius));
  painter.drawEllipse(pixelOf(saved.propellerCentreX, saved.propellerCentreZ), 3.0, 3.0);
  painter.setPen(ghostColour);
  painter.drawText(top + QPointF(6, -4), tr("last saved"));
}

// The ends placed, the line between them (to the cursor while the second is
// awaited) and its figures beside it on a white ground.
void SternView::paintMeasurement(QPainter& painter) const {
  if (!measuring_ || measured_.empty()) return;
  const QPointF from = measured_.front();
  const QPointF to = measured_.size() > 1 ? measured_.back() : metresAt(lastCursor_);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(measureColour, 1.5));
  const QPointF a = pixelOf(from.x(), from.y());
  const QPointF b = pixelOf(to.x(), to.y());
  painter.drawLine(a, b);
  for (const QPointF& end : {a, b}) {
    painter.drawLine(end + QPointF(-5, 0), end + QPointF(5, 0));
    painter.drawLine(end + QPointF(0, -5), end + QPointF(0, 5));
  }
  const QString text = measurementText(from, to);
  const QRectF textBox = painter.fontMetrics().boundingRect(text).adjusted(-4, -2, 4, 2);
  QRectF placed = textBox.translated(0.5 * (a + b) + QPointF(12, -12) - textBox.bottomLeft());
  // Inside the view, whatever the line's place.
  placed.moveLeft(std::clamp(placed.left(), 2.0, std::max(2.0, width() - placed.width() - 2.0)));
  placed.moveTop(std::clamp(placed.top(), 2.0, std::max(2.0, height() - placed.height() - 2.0)));
  painter.fillRect(placed, QColor(255, 255, 255, 230));
  painter.drawRect(placed);
  painter.drawText(placed, Qt::AlignCenter, text);
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
  if (measuring_ && event->button() == Qt::LeftButton && document_.hasDesign()) {
    if (measured_.size() == 2) measured_.clear();
    // A click on a point of the design measures from the point itself.
    const std::optional<Handle> handle = handleAt(at);
    const DesignData& design = document_.design();
    measured_.push_back(handle ? QPointF(fieldValue(design, handle->x), fieldValue(design, handle->z))
                               : metresAt(at));
    lastCursor_ = at;
    update();
    return;
  }
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
  } else if (measuring_) {
    if (measured_.size() == 1) update();
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
  if (measuring_) {
    setCursor(Qt::CrossCursor);
  } else {
    unsetCursor();
  }
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
    case Qt::Key_Escape:
      if (measured_.empty()) {
        QWidget::keyPressEvent(event);
        return;
      }
      measured_.clear();
      update();
      break;
    default: QWidget::keyPressEvent(event); return;
  }
  event->accept();
}

}  // namespace propclear
