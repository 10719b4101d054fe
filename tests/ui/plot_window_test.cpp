#include "ui/plot_window.h"

#include <gtest/gtest.h>

#include "ui/screen_units.h"
#include "ui_test_support.h"

namespace propclear {
namespace {

using test::PlotScale;
using test::renderImage;

DrawingSurface frameDrawing(const PlotScale& s, DrawingObserver* window) {
  DrawingSurface surface;
  surface.setObserver(window);
  surface.showWindow();
  surface.clearWindow();
  surface.setCaption("KIC BODOSLAMA GEOMETRISI");
  surface.setUserScale(s.left(), s.top(), s.right(), s.bottom());
  surface.drawLine(s.m, s.M, s.M, s.M, paletteLightMagenta);
  surface.drawCircle(0.0, 0.0, s.R / 20, paletteLightMagenta);
  surface.drawLine(s.M, 0.0, s.m, 0.0, paletteLightGreen);
  return surface;
}

QImage windowImage(PlotWindow& window) {
  return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(PlotWindow, DrawingAreaStartsAtTheDesignSize) {
  const PlotWindow window;
  EXPECT_EQ(window.size(), designDrawingArea);
  EXPECT_FALSE(window.isVisible());
}

TEST(PlotWindow, ShowsItselfAndTakesTheCaptionFromTheDrawing) {
  PlotWindow window;
  DrawingSurface surface;
  surface.setObserver(&window);
  surface.clearWindow();
  EXPECT_FALSE(window.isVisible());
  surface.showWindow();
  EXPECT_TRUE(window.isVisible());
  surface.setCaption("KIC BODOSLAMA GEOMETRISI");
  EXPECT_EQ(window.windowTitle().toStdString(), "KIC BODOSLAMA GEOMETRISI");
}

TEST(PlotWindow, KeepsEveryRecordedCommandInOrder) {
  PlotWindow window;
  DrawingSurface surface = frameDrawing(PlotScale{}, &window);
  for (int step = 0; step < 2000; ++step) surface.drawLine(step, 0.0, step + 1, 1.0, paletteLightMagenta);
  ASSERT_EQ(window.drawing().size(), surface.commands().size());
  EXPECT_EQ(window.drawing().back().x1, 1999.0f);
  EXPECT_EQ(window.drawing()[2].op, DrawOp::SetCaption);
}

TEST(PlotWindow, ShowsExactlyWhatIsExported) {
  PlotWindow window;
  const DrawingSurface surface = frameDrawing(PlotScale{}, &window);
  EXPECT_EQ(windowImage(window), renderImage(surface, designDrawingArea));
}

TEST(PlotWindow, DrawingStretchesWhenTheWindowIsResized) {
  PlotWindow window;
  const DrawingSurface surface = frameDrawing(PlotScale{}, &window);
  window.resize(1000, 300);
  EXPECT_EQ(windowImage(window), renderImage(surface, QSize(1000, 300)));
}

}  // namespace
}  // namespace propclear
