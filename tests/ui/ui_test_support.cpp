#include "ui_test_support.h"

#include <QPainter>
#include <cmath>

#include "ui/render_drawing.h"

namespace propclear::test {

QPointF PlotScale::toPixel(double x, double y, QSize area) const {
  return QPointF((x - left()) / (right() - left()) * (area.width() - 1),
                 (y - top()) / (bottom() - top()) * (area.height() - 1));
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
