#pragma once
// The mapping of the drawing's user units into an image's pixels: the user
// scale's rectangle at one scale in x and z (true scale), as large as the
// area allows and centred in it. The window and every saved image use it.

#include <optional>

#include "plot/plot_size.h"

namespace propclear {

struct PixelPoint {
  double x = 0.0;
  double y = 0.0;
};

// pixel = user · scale + offset, along x and y alike.
struct PlotMapping {
  double xScale = 1.0;
  double yScale = 1.0;
  double xOffset = 0.0;
  double yOffset = 0.0;

  PixelPoint map(double x, double y) const { return {x * xScale + xOffset, y * yScale + yOffset}; }
  // The user point at pixel `pixel`.
  PixelPoint unmap(PixelPoint pixel) const;
};

// The mapping of the user rectangle (left, top) to (right, bottom) into an
// area of `area` pixels, whose last pixel is at (width - 1, height - 1);
// none for a rectangle without extent.
std::optional<PlotMapping> fittedPlotMapping(double left, double top, double right, double bottom,
                                             PlotSize area);

}  // namespace propclear
