#pragma once
// The size of a saved image, as --plot-size WIDTHxHEIGHT gives it: pixels
// for PNG, points for SVG and PDF. The plain run's plot and the sweep's
// take it alike.

#include <string>

namespace propclear {

// The window's measures: positions and sizes in twips (1/1440 inch), laid
// out at 15 twips per pixel; font sizes in points of 20 twips.
inline constexpr int twipsPerPixel = 15;
inline constexpr int twipsPerPoint = 20;

// The largest saved image side: pixels for PNG, points for SVG and PDF.
inline constexpr int maxPlotSide = 20000;

struct PlotSize {
  int width = 0;
  int height = 0;
};

// The window's drawing area as designed, 10740 x 7080 twips; also the size
// of a saved plot when no other is given.
inline constexpr PlotSize designPlotSize{10740 / twipsPerPixel, 7080 / twipsPerPixel};
static_assert(designPlotSize.width == 716 && designPlotSize.height == 472);

// "1600x1000"; throws RunError(ErrorKind::Usage) naming the option and the
// text for anything but two whole numbers from 1 to maxPlotSide.
PlotSize parsePlotSize(const std::string& text);

}  // namespace propclear
