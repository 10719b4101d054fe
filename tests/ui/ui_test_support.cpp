#include "ui_test_support.h"

#include <algorithm>

#include <QPainter>
#include <cmath>

#include "ui/render_drawing.h"

namespace propclear::test {

// One scale in x and y, the square user area as large as fits, centred.
QPointF PlotScale::toPixel(double x, double y, QSize area) const {
  const double side = right() - left();
  const double pixelsPerUnit = std::min(area.width() - 1, area.height() - 1) / side;
  return QPointF((area.width() - 1) / 2.0 + (x - (left() + right()) / 2) * pixelsPerUnit,
                 (area.height() - 1) / 2.0 - (y - (top() + bottom()) / 2) * pixelsPerUnit);
}

DrawingSurface plotSurface(const PlotScale& scale) {
  DrawingSurface surface;
  surface.showWindow();
  surface.clearWindow();
  surface.setFont("Arial", 12);
  surface.setTextColour(paletteBlue);
  surface.setLineWidth(1);
  surface.setCaption("KIC BODOSLAMA GEOMETRISI");
  surface.setUserScale(scale.left(), scale.top(), scale.right(), scale.bottom());
  return surface;
}

QImage renderImage(const DrawingSurface& surface, QSize area) {
  QImage image(area, QImage::Format_RGB32);
  QPainter painter(&image);
  renderDrawing(surface.commands(), painter, area);
  painter.end();
  return image;
}

QRect boundsOfColour(const QImage& image, QRgb colour, QRect region) {
  QRect bounds;
  const QRect inside = region.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) {
      if (image.pixel(x, y) == colour) bounds |= QRect(x, y, 1, 1);
    }
  }
  return bounds;
}

QRect boundsOfColour(const QImage& image, QRgb colour) {
  return boundsOfColour(image, colour, image.rect());
}

bool hasColourNear(const QImage& image, QPointF point, QRgb colour) {
  const int x = static_cast<int>(std::lround(point.x()));
  const int y = static_cast<int>(std::lround(point.y()));
  return !boundsOfColour(image, colour, QRect(x - 1, y - 1, 3, 3)).isEmpty();
}

}  // namespace propclear::test
