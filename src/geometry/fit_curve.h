#pragma once

#include "geometry/curve_workspace.h"

namespace propclear {

// End-condition codes of fitCurve.
inline constexpr int notAKnotEnd = 0;      // third derivative continuous at knot 2 / n-1
inline constexpr int givenSlopeEnd = 1;    // slope taken from coef[2][1] or coef[2][n]
inline constexpr int givenCurvatureEnd = 2;  // second derivative taken from coef[2][1] or coef[2][n]

// Interpolating cubic spline through knot[1..n] with values coef[1][1..n]
// (1 <= n <= maxKnots): fills rows 2..4 of knots 1..n. Every division carries
// the small guard term of the established method; an exactly zero divisor is
// an arithmetic fault (RunError).
void fitCurve(int n, KnotArray& knot, CoefTable& coef, int leftEnd, int rightEnd);

}  // namespace propclear
