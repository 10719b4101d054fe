#include <string>

#include "clearance/measuring_operations.h"
#include "clearance/segment_support.h"

namespace propclear {

void checkDesignPlausibility(const DesignData& design, Diagnostics& diagnostics) {
  const double d = design.propellerDiameter;
  if (d < 0.0) {
    diagnostics.warn(WarningKind::InvalidDesign, "the propeller diameter D = " + metresText(d) +
                     " is negative: the blade stations fall, no 0.7R point is found and "
                     "clearances a, c, a' and c' are measured from x = 0, z = 0");
  }
  if (design.hubDiameter >= d) {
    diagnostics.warn(WarningKind::InvalidDesign, "the hub diameter Dh = " + metresText(design.hubDiameter) +
                     " is not smaller than the propeller diameter D = " + metresText(d) +
                     ": the blade outline is meaningless");
  }
  const int n = design.contourPointCount[sternContourRow];
  for (int k = 2; k <= n; ++k) {
    if (!(design.contourZ[sternContourRow][k] > design.contourZ[sternContourRow][k - 1])) {
      diagnostics.warn(WarningKind::InvalidDesign, "the stern contour's heights do not rise from point " + std::to_string(k - 1) +
                       " to point " + std::to_string(k) +
                       ": the fitted contour has no piece there, and queries at such heights "
                       "measure to x = 0");
      return;
    }
  }
}

}  // namespace propclear
