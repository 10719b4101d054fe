#pragma once
// The size of a saved image, as --plot-size WIDTHxHEIGHT gives it: pixels
// for PNG, points for SVG and PDF. The plain run's plot and the sweep's
// take it alike.

#include <string>

namespace propclear {

// The largest saved image side: pixels for PNG, points for SVG and PDF.
inline constexpr int maxPlotSide = 20000;

struct PlotSize {
  int width = 0;
  int height = 0;
};

// "1600x1000"; throws RunError(ErrorKind::Usage) naming the option and the
// text for anything but two whole numbers from 1 to maxPlotSide.
PlotSize parsePlotSize(const std::string& text);

}  // namespace propclear
