#pragma once
// The one store for a fitted cubic-spline curve v(t). Knots 1..n are used,
// index 0 never. Per knot i, coef[1][i] is the value, coef[2][i] the slope,
// coef[3][i] the second derivative at knot i and coef[4][i] the third
// derivative on the piece from knot i to knot i + 1; on that piece
// v(t) = coef[1][i] + coef[2][i] h + coef[3][i] h^2/2 + coef[4][i] h^3/6,
// h = t - knot[i]. Entries above n keep what an earlier use left there.

#include <array>

namespace propclear {

inline constexpr int maxKnots = 1000;

using KnotArray = std::array<double, maxKnots + 1>;
using CoefTable = std::array<KnotArray, 5>;  // rows 0..4, row 0 never used

struct CurveWorkspace {
  KnotArray knot{};
  CoefTable coef{};
};

}  // namespace propclear
