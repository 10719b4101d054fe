#pragma once

#include "design/design_data.h"
#include "geometry/curve_workspace.h"

namespace propclear {

// Loads contour row `selector` of the design data into the workspace (knot =
// height, value = horizontal position, in file order) and fits it piecewise
// between break points (code 0). Returns the row's point count.
int setUpContour(const DesignData& design, int selector, CurveWorkspace& workspace);

}  // namespace propclear
