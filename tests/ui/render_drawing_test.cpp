#include "ui/render_drawing.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <array>
#include <cmath>

#include "ui/screen_units.h"
#include "ui_test_support.h"

namespace propclear {
namespace {

using test::boundsOfColour;
using test::hasColourNear;
using test::PlotScale;
using test::plotSurface;
using test::renderImage;

// Aliased drawing puts a fractional pixel position on a neighbouring pixel.
constexpr double kPixelTolerance = 1.0;
// A circle's drawn extent also counts the pen's pixel on both sides.
constexpr double kCircleExtentTolerance = 2.0;

const QRgb white = qRgb(0xFF, 0xFF, 0xFF);
QRgb rgbOf(int colour) { return paletteColour(colour).rgb(); }

TEST(Palette, HoldsTheConventionalSixteenColours) {
  struct Expected {
    int index;
    QRgb rgb;
  };
  const std::array<Expected, 10> table{{
      {0, qRgb(0x00, 0x00, 0x00)},
      {1, qRgb(0x00, 0x00, 0xAA)},
      {6, qRgb(0xAA, 0x55, 0x00)},
      {9, qRgb(0x55, 0x55, 0xFF)},
      {10, qRgb(0x55, 0xFF, 0x55)},
      {11, qRgb(0x55, 0xFF, 0xFF)},
      {12, qRgb(0xFF, 0x55, 0x55)},
      {13, qRgb(0xFF, 0x55, 0xFF)},
      {14, qRgb(0xFF, 0xFF, 0x55)},
      {15, qRgb(0xFF, 0xFF, 0xFF)},
  }};
  for (const Expected& entry : table) {
    EXPECT_EQ(paletteColour(entry.index).rgb(), entry.rgb) << "colour " << entry.index;
  }
}

// The square user area of 2R fills the height of the wide window and is
// centred across it: 471 / 20 pixels per metre in both directions.
TEST(RenderDrawing, UserSquareIsDrawnAtTrueScaleAndCentred) {
  const PlotScale s;
  DrawingSurface surface = plotSurface(s);
  surface.drawLine(s.left(), s.top(), s.right(), s.top(), paletteLightMagenta);
  surface.drawLine(s.right(), s.top(), s.right(), s.bottom(), paletteLightMagenta);
  surface.drawLine(s.left(), s.bottom(), s.right(), s.bottom(), paletteLightMagenta);
  surface.drawLine(s.left(), s.top(), s.left(), s.bottom(), paletteLightMagenta);
  const QImage image = renderImage(surface, designDrawingArea);
  const QRgb magenta = rgbOf(paletteLightMagenta);
  const QRect drawn = boundsOfColour(image, magenta);
  EXPECT_EQ(drawn.top(), 0);
  EXPECT_EQ(drawn.bottom(), 471);
  EXPECT_NEAR(drawn.left(), 357.5 - 235.5, kPixelTolerance);
  EXPECT_NEAR(drawn.right(), 357.5 + 235.5, kPixelTolerance);
  EXPECT_NEAR(drawn.width(), drawn.height(), kPixelTolerance);
  // Beside the square the window is background.
  EXPECT_EQ(image.pixel(0, 0), white);
  EXPECT_EQ(image.pixel(715, 471), white);
  EXPECT_EQ(image.pixel(drawn.left() + 2, drawn.top() + 2), white);
}

// The plot's frame, drawn as the stern plot draws it.
void drawFrame(DrawingSurface& surface, const PlotScale& s) {
  const double m = s.m, M = s.M, R = s.R;
  surface.drawLine(m - R / 4, M + R / 8, M + R / 4, M + R / 8, paletteLightMagenta);
  surface.drawLine(M + R / 4, M + R / 8, M + R / 4, m - R / 8, paletteLightMagenta);
  surface.drawLine(m - R / 4, m - R / 8, M + R / 4, m - R / 8, paletteLightMagenta);
  surface.drawLine(m - R / 4, M + R / 8, m - R / 4, m - R / 8, paletteLightMagenta);
}

void expectFrameCorners(const QImage& image, const PlotScale& s) {
  const double m = s.m, M = s.M, R = s.R;
  const QRgb magenta = rgbOf(paletteLightMagenta);
  const QSize area = image.size();
  EXPECT_TRUE(hasColourNear(image, s.toPixel(m - R / 4, M + R / 8, area), magenta));
  EXPECT_TRUE(hasColourNear(image, s.toPixel(M + R / 4, M + R / 8, area), magenta));
  EXPECT_TRUE(hasColourNear(image, s.toPixel(M + R / 4, m - R / 8, area), magenta));
  EXPECT_TRUE(hasColourNear(image, s.toPixel(m - R / 4, m - R / 8, area), magenta));
  const QRectF frame(s.toPixel(m - R / 4, M + R / 8, area), s.toPixel(M + R / 4, m - R / 8, area));
  const QRect drawn = boundsOfColour(image, magenta);
  EXPECT_NEAR(drawn.left(), frame.left(), kPixelTolerance);
  EXPECT_NEAR(drawn.right(), frame.right(), kPixelTolerance);
  EXPECT_NEAR(drawn.top(), frame.top(), kPixelTolerance);
  EXPECT_NEAR(drawn.bottom(), frame.bottom(), kPixelTolerance);
}

TEST(RenderDrawing, FrameCornersLieWhereTheUserScaleMapsThem) {
  const PlotScale scale;
  DrawingSurface surface = plotSurface(scale);
  drawFrame(surface, scale);
  const QImage image = renderImage(surface, designDrawingArea);
  // 471/20 pixels per metre in x and y, y upwards, the square centred.
  EXPECT_EQ(scale.toPixel(-4.5, 9.25, designDrawingArea), QPointF(180.875, 88.3125));
  expectFrameCorners(image, scale);
}

// The frame is 1.5 R wide and 1.25 R high: so it stays in any window.
TEST(RenderDrawing, DrawingKeepsTrueScaleInAnyArea) {
  const PlotScale scale;
  DrawingSurface surface = plotSurface(scale);
  drawFrame(surface, scale);
  for (const QSize area : {QSize(1432, 944), QSize(300, 600), designDrawingArea}) {
    const QImage image = renderImage(surface, area);
    expectFrameCorners(image, scale);
    const QRect frame = boundsOfColour(image, rgbOf(paletteLightMagenta));
    EXPECT_NEAR(double(frame.width() - 1) / (frame.height() - 1), 1.5 / 1.25, 0.01)
        << area.width() << "x" << area.height();
  }
}

TEST(RenderDrawing, BaseLineIsOneCrispPixelRowAtHeightZero) {
  const PlotScale s;
  DrawingSurface surface = plotSurface(s);
  surface.drawLine(s.M + s.R / 10, 0.0, s.m - s.R / 10, 0.0, paletteLightGreen);
  const QImage image = renderImage(surface, designDrawingArea);
  const QPointF lineStart = s.toPixel(s.m - s.R / 10, 0.0, designDrawingArea);
  const QPointF lineEnd = s.toPixel(s.M + s.R / 10, 0.0, designDrawingArea);
  const QRect drawn = boundsOfColour(image, rgbOf(paletteLightGreen));
  EXPECT_EQ(drawn.height(), 1);
  EXPECT_NEAR(drawn.top(), lineStart.y(), kPixelTolerance);
  EXPECT_NEAR(drawn.left(), lineStart.x(), kPixelTolerance);
  EXPECT_NEAR(drawn.right(), lineEnd.x(), kPixelTolerance);
  // No blending into the background: every non-white pixel is the line's own colour.
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      ASSERT_TRUE(pixel == white || pixel == rgbOf(paletteLightGreen)) << x << "," << y;
    }
  }
}

TEST(RenderDrawing, LineWidthIsInPixels) {
  const PlotScale s;
  DrawingSurface surface = plotSurface(s);
  surface.setLineWidth(3);
  surface.drawLine(s.m, 0.0, s.M, 0.0, paletteLightRed);
  const QRect drawn =
      boundsOfColour(renderImage(surface, designDrawingArea), rgbOf(paletteLightRed), QRect(300, 0, 1, 472));
  EXPECT_EQ(drawn.height(), 3);
}

// A dashed outline drawn as many short lines keeps its pattern from line to
// line: it shows gaps, where each line on its own would start with a dash
// and the whole would look solid.
TEST(RenderDrawing, DashedLineOfShortPiecesShowsItsDashes) {
  const PlotScale s;
  DrawingSurface surface = plotSurface(s);
  surface.setLineStyle(LineStyle::Dashed);
  constexpr int pieces = 400;  // about 0.6 pixel each
  for (int k = 0; k < pieces; ++k) {
    surface.drawLine(s.m + s.R * k / pieces, 0.0, s.m + s.R * (k + 1) / pieces, 0.0,
                     paletteDarkGrey);
  }
  surface.setLineStyle(LineStyle::Solid);
  surface.drawLine(s.m, 1.0, s.M, 1.0, paletteDarkGrey);
  const QImage image = renderImage(surface, designDrawingArea);
  auto darkShare = [&](double z) {
    const QPointF from = s.toPixel(s.m, z, designDrawingArea);
    const QPointF to = s.toPixel(s.M, z, designDrawingArea);
    // An aliased line lands on one of the two rows about its height.
    const int above = static_cast<int>(std::floor(from.y())), below = above + 1;
    int dark = 0, all = 0;
    for (int x = static_cast<int>(from.x()) + 2; x < static_cast<int>(to.x()) - 2; ++x, ++all) {
      if (image.pixel(x, above) != white || image.pixel(x, below) != white) ++dark;
    }
    return static_cast<double>(dark) / all;
  };
  // Qt's dashes: four pen widths drawn, two left out.
  EXPECT_NEAR(darkShare(0.0), 4.0 / 6.0, 0.1);
  EXPECT_EQ(darkShare(1.0), 1.0);
}

TEST(RenderDrawing, CircleRadiusIsMeasuredAlongX) {
  const PlotScale s;
  DrawingSurface surface = plotSurface(s);
  const double radius = 1.0;
  surface.drawCircle(3.0, 5.0, radius, paletteLightMagenta);
  const QImage image = renderImage(surface, designDrawingArea);
  const QRect drawn = boundsOfColour(image, rgbOf(paletteLightMagenta));
  const double radiusPixels = radius * 471 / 20;  // one scale in x and y
  const QPointF centre = s.toPixel(3.0, 5.0, designDrawingArea);
  EXPECT_NEAR(drawn.width(), 2 * radiusPixels, kCircleExtentTolerance);
  EXPECT_NEAR(drawn.height(), 2 * radiusPixels, kCircleExtentTolerance);
  EXPECT_NEAR(drawn.center().x(), centre.x(), kCircleExtentTolerance);
  EXPECT_NEAR(drawn.center().y(), centre.y(), kCircleExtentTolerance);
}

TEST(RenderDrawing, TextHangsBelowTheCursorAndTheNextLineStartsAtTheLeftEdge) {
  const PlotScale s;
  DrawingSurface surface = plotSurface(s);
  surface.moveTextCursor(s.M + s.R / 10, s.R / 25);
  surface.printText("B.L.");
  surface.printText("DWL");
  const QImage image = renderImage(surface, designDrawingArea);
  const QFontMetricsF metrics = [] {
    QFont font("Arial");
    font.setPixelSize(16);  // 12 points at 15 twips per pixel
    return QFontMetricsF(font);
  }();
  const QPointF cursor = s.toPixel(s.M + s.R / 10, s.R / 25, designDrawingArea);
  const QRgb blue = rgbOf(paletteBlue);
  const int firstLineTop = static_cast<int>(cursor.y());
  const int lineHeight = static_cast<int>(metrics.lineSpacing());

  const QRect firstText = boundsOfColour(image, blue, QRect(0, firstLineTop, 716, lineHeight));
  ASSERT_FALSE(firstText.isEmpty());
  EXPECT_NEAR(firstText.left(), cursor.x(), 3.0);
  EXPECT_GE(firstText.top(), cursor.y() - kPixelTolerance);
  EXPECT_LE(firstText.bottom(), cursor.y() + metrics.ascent() + kPixelTolerance);
  EXPECT_GT(firstText.width(), 20);  // four glyphs of a 16-pixel font, not one box

  const QRect secondText = boundsOfColour(image, blue, QRect(0, firstLineTop + lineHeight, 716, lineHeight));
  ASSERT_FALSE(secondText.isEmpty());
  EXPECT_LE(secondText.left(), 3);
  EXPECT_NEAR(secondText.top() - firstText.top(), metrics.lineSpacing(), 2.0);
}

TEST(RenderDrawing, ClearWindowEmptiesTheArea) {
  const PlotScale s;
  DrawingSurface surface = plotSurface(s);
  surface.drawLine(s.m, s.m, s.M, s.M, paletteYellow);
  surface.clearWindow();
  EXPECT_TRUE(boundsOfColour(renderImage(surface, designDrawingArea), white) ==
              QRect(QPoint(0, 0), designDrawingArea));
}

TEST(RenderDrawing, ScaleWithoutExtentKeepsThePreviousOne) {
  const PlotScale s;
  DrawingSurface surface = plotSurface(s);
  surface.setUserScale(1.0, 1.0, 1.0, 0.0);
  surface.drawLine(s.left(), s.top(), s.right(), s.top(), paletteLightMagenta);
  const QPointF corner = s.toPixel(s.right(), s.top(), designDrawingArea);
  EXPECT_TRUE(hasColourNear(renderImage(surface, designDrawingArea), corner,
                            rgbOf(paletteLightMagenta)));
}

}  // namespace
}  // namespace propclear
