#pragma once
// The studio's drawing: the stern plot of the document's analysis at true
// scale, with zoom (wheel, pinch, keys), pan (drag, arrow keys), "Fit" and
// "Zoom to propeller", a scale bar, and handles to drag the propeller centre,
// the rudder corners and the contour points. A drag snaps to 1 mm, to 0.1 mm
// with Shift held, and not at all with Alt; every move is an edit of the
// document, and all moves of one drag are one undo step.
//
// Over the drawing: the overall status as a banner (red for a clash), the
// last saved design as a grey ghost while the design has changes, and a
// measuring tool (two clicks, on a point of the design or anywhere:
// distance, delta x, delta z). The mirrored lower blade's legacy outline can
// be hidden.

#include <QPointF>
#include <QTransform>
#include <QWidget>
#include <optional>
#include <vector>

#include "design/design_field.h"
#include "ui/studio/design_document.h"

namespace propclear {

class SternView : public QWidget {
  Q_OBJECT

 public:
  explicit SternView(DesignDocument& document, QWidget* parent = nullptr);

  // The view's mapping of metres (x, z) to widget pixels.
  const QTransform& metresToPixels() const { return metresToPixels_; }
  QPointF pixelOf(double x, double z) const { return metresToPixels_.map(QPointF(x, z)); }

  void fit();
  void zoomToPropeller();
  void zoomBy(double factor, QPointF anchorPixel);
  void zoomIn();
  void zoomOut();
  void panBy(QPointF pixels);

  void setLegacyBladeShown(bool shown);
  void setSavedGhostShown(bool shown);
  // While measuring, clicks place the two ends of a measurement.
  void setMeasuring(bool measuring);
  bool isMeasuring() const { return measuring_; }
  // The ends placed so far, in metres.
  const std::vector<QPointF>& measuredPoints() const { return measured_; }

 signals:
  // The cursor's position in metres, for the read-out; none outside the drawing.
  void cursorMoved(std::optional<QPointF> metres);
  void firstPainted();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  // A point that can be dragged: the fields of its x and z.
  struct Handle {
    FieldRef x;
    FieldRef z;
  };

  void designChanged();
  void showBox(QRectF metres);
  std::optional<Handle> handleAt(QPointF pixel) const;
  QPointF metresAt(QPointF pixel) const;
  void dragHandleTo(QPointF pixel, Qt::KeyboardModifiers modifiers);
  void paintHandles(QPainter& painter) const;
  void paintScaleBar(QPainter& painter) const;
  void paintNotes(QPainter& painter) const;
  void paintStatusBanner(QPainter& painter) const;
  void paintSavedGhost(QPainter& painter) const;
  void paintMeasurement(QPainter& painter) const;
  const std::vector<DrawCommand>& shownDrawing();

  DesignDocument& document_;
  QTransform metresToPixels_;
  bool viewFitted_ = true;  // refitted on resize until the user zooms or pans
  bool hasView_ = false;
  bool painted_ = false;

  std::optional<Handle> dragged_;
  int dragSerial_ = 0;
  std::optional<QPointF> panFrom_;
  QPointF lastCursor_;

  bool legacyBladeShown_ = true;
  bool savedGhostShown_ = true;
  // The drawing with its labels laid out for the view as it is, and what
  // they were laid out for.
  std::vector<DrawCommand> viewDrawing_;
  bool viewDrawingCurrent_ = false;
  QTransform viewDrawingTransform_;
  QSize viewDrawingSize_;
  bool viewDrawingLegacy_ = true;
  bool measuring_ = false;
  std::vector<QPointF> measured_;  // none, one or both ends, metres
};

// `commands` without the mirrored lower blade's legacy outline and its label;
// the line styles and colours set there stay for what follows.
std::vector<DrawCommand> withoutLegacyLowerBlade(const std::vector<DrawCommand>& commands);

// "d 1.234 m   Δx 1.000 m   Δz -0.723 m" between two points in metres.
QString measurementText(QPointF from, QPointF to);

// `value` snapped to `step` metres (none: unchanged), as the nearest double to
// the decimal it stands for.
double snapMetres(double value, std::optional<double> step);

}  // namespace propclear
