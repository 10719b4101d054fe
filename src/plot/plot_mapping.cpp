#include "plot/plot_mapping.h"

#include <algorithm>
#include <cmath>

#include "common/checked_math.h"

namespace propclear {

PixelPoint PlotMapping::unmap(PixelPoint pixel) const {
  return {checkedDivide(pixel.x - xOffset, xScale, "the drawing's user x of a pixel"),
          checkedDivide(pixel.y - yOffset, yScale, "the drawing's user y of a pixel")};
}

std::optional<PlotMapping> fittedPlotMapping(double left, double top, double right, double bottom,
                                             PlotSize area) {
  const double userWidth = right - left;
  const double userHeight = bottom - top;
  if (userWidth == 0.0 || userHeight == 0.0) return std::nullopt;
  const double scale =
      std::min(checkedDivide(area.width - 1, std::abs(userWidth), "the drawing's scale in x"),
               checkedDivide(area.height - 1, std::abs(userHeight), "the drawing's scale in y"));
  const double xScale = std::copysign(scale, userWidth);
  const double yScale = std::copysign(scale, userHeight);
  const double userCentreX = left + 0.5 * userWidth;
  const double userCentreY = top + 0.5 * userHeight;
  return PlotMapping{xScale, yScale, 0.5 * (area.width - 1) - userCentreX * xScale,
                     0.5 * (area.height - 1) - userCentreY * yScale};
}

}  // namespace propclear
