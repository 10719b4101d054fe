#pragma once

#include "geometry/curve_workspace.h"

namespace propclear {

// The value of the fitted curve at t, written to y; y keeps the caller's value
// when t lies on no piece of the curve.
void evaluateCurve(int n, double t, const KnotArray& knot, const CoefTable& coef, double& y);

}  // namespace propclear
