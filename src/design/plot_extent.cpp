#include "design/plot_extent.h"

#include <algorithm>

#include "common/checked_math.h"

namespace propclear {

PlotExtent plotExtentOf(const DesignData& design) {
  PlotExtent extent;
  const int n = design.contourPointCount[sternContourRow];
  for (int k = 1; k <= n; ++k) {
    const double z = design.contourZ[sternContourRow][k];
    const double x = design.contourX[sternContourRow][k];
    extent.min = std::min({extent.min, z, x});
    extent.max = std::max({extent.max, z, x});
  }
  extent.range = requireFinite(extent.max - extent.min, "the plot extent");
  return extent;
}

}  // namespace propclear
