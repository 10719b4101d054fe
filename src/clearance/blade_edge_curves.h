#pragma once
// Each blade edge's absolute coordinates fitted over radius: the stations' x
// and z as not-a-knot cubic splines over the station radii, for the upper
// blade (centre + offset) and for the lower blade, the upper one reflected
// through the propeller centre (centre - offset). The clearances read them at
// 0.7R (`measuringRadiusPerDiameter`), the turning lower blade reads the
// upper blade's x with the lower blade's z, and the swept volume takes the
// upper blade's x between the stations. Each curve is fitted once per
// analysis; a fit gives the same numbers wherever it is read.

#include <array>

#include "design/design_data.h"
#include "geometry/blade_outline.h"
#include "geometry/spline_curve.h"

namespace propclear {

struct EdgeCurves {
  SplineCurve x;  // absolute x over radius
  SplineCurve z;  // absolute z over radius
};

struct BladeEdgeCurves {
  std::array<EdgeCurves, 2> upper;  // edge 1, edge 2
  std::array<EdgeCurves, 2> lower;  // edge 1, edge 2 of the reflected blade
};

// Throws RunError for an arithmetic fault of a fit.
BladeEdgeCurves fitBladeEdgeCurves(const DesignData& design, const BladeOutline& outline);

}  // namespace propclear
