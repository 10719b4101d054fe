#pragma once
// Interpolating cubic spline through knots t1 < t2 < ... < tn with values
// v1..vn: the slopes s_i at the knots solve the tridiagonal system of C2
// continuity, closed at each end by the end condition chosen, and each piece
// then carries its second and third derivative (layout in spline_curve.h).
// The not-a-knot end (third derivative continuous across knots 2 and n - 1,
// so the first two and the last two pieces are each one cubic) follows
// C. de Boor, A Practical Guide to Splines, rev. ed., Springer 2001, ch. IV
// (routine CUBSPL). The system is solved by Gauss elimination without
// pivoting.
//
// The divisions carry the small guard terms of the established program
// (1e-6 on spacings, 1e-7 on pivots), reproduced exactly so that every
// result stays digit for digit; one pivot of the not-a-knot right end is
// unguarded. With the guards the fit reproduces a cubic through four or more
// knots, a parabola through three and a line through two to about 1e-5.

#include "geometry/spline_curve.h"

namespace propclear {

// The guard terms: added to a knot spacing, and to a pivot, where either
// divides.
inline constexpr double fitSpacingGuard = 1e-6;
inline constexpr double fitPivotGuard = 1e-7;

// How one end of the spline is closed.
enum class EndCondition {
  NotAKnot,        // third derivative continuous at knot 2 (or n - 1)
  GivenSlope,      // slope at the end taken from coef(2)[1] (or [n])
  GivenCurvature,  // second derivative at the end taken from coef(2)[1] (or [n])
};

// Fills rows 2..4 of knots 1..n from the knots and row 1. A curve of one knot
// or none has no piece and is left as it is. An exactly zero divisor or a
// result that overflows is an arithmetic fault (RunError).
void fitCurve(SplineCurve& curve, EndCondition leftEnd, EndCondition rightEnd);

}  // namespace propclear
