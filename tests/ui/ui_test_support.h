#pragma once
// A drawing with the stern plot's scale, and pixel probes on its image.

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QSize>

#include "plot/drawing_surface.h"

namespace propclear::test {

// The stern plot's coordinates for a contour spanning m = -2 to M = 8 metres
// (R = 10): user scale from (m - R/2, M + R/2) to (M + R/2, m - R/2).
struct PlotScale {
  double m = -2.0;
  double M = 8.0;
  double R = 10.0;
  double left() const { return m - R / 2; }
  double top() const { return M + R / 2; }
  double right() const { return M + R / 2; }
  double bottom() const { return m - R / 2; }
  // Where a user point lands in an area of `area` pixels: at true scale, the
  // user square as large as the area allows, centred.
  QPointF toPixel(double x, double y, QSize area) const;
};

// A surface with the plot's window set-up and user scale already recorded.
DrawingSurface plotSurface(const PlotScale& scale = {});

QImage renderImage(const DrawingSurface& surface, QSize area);

// The smallest rectangle holding every pixel of `colour` within `region`; an
// empty rectangle when there is none.
QRect boundsOfColour(const QImage& image, QRgb colour, QRect region);
QRect boundsOfColour(const QImage& image, QRgb colour);

// Whether a pixel of `colour` lies within one pixel of `point`: aliased
// drawing lands a fractional position on a neighbouring whole pixel.
bool hasColourNear(const QImage& image, QPointF point, QRgb colour);

}  // namespace propclear::test
