#include <algorithm>

#include "common/checked_math.h"
#include "design/design_data.h"

namespace propclear {

void computePlotExtent(DesignData& design) {
  double low = 0.0;
  double high = 0.0;
  const int n = design.contourPointCount[sternContourRow];
  for (int k = 1; k <= n; ++k) {
    const double z = design.contourZ[sternContourRow][k];
    const double x = design.contourX[sternContourRow][k];
    low = std::min({low, z, x});
    high = std::max({high, z, x});
  }
  design.plotMin = low;
  design.plotMax = high;
  design.plotRange = requireFinite(high - low, "the plot extent");
}

}  // namespace propclear
