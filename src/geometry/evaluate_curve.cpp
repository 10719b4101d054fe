#include "geometry/evaluate_curve.h"

#include <string>

#include "common/checked_math.h"

namespace propclear {

namespace {

void requireKnotCount(int n) {
  if (n < 0 || n > maxKnots) {
    const std::string reason = "knot count " + std::to_string(n) +
                               " is negative or above " + std::to_string(maxKnots);
    throwArithmeticFault("the curve value", reason.c_str());
  }
}

// v = c1 + c2 h + (c3 + c4 h/3) h^2/2, grouped as the established results
// were computed.
double pieceValue(const CoefTable& coef, int i, double h) {
  const double cubicTerm =
      coef[3][i] + checkedDivide(coef[4][i] * h, 3.0, "the curve value");
  const double value =
      coef[1][i] + coef[2][i] * h + checkedDivide(cubicTerm * (h * h), 2.0, "the curve value");
  return requireFinite(value, "the curve value");
}

}  // namespace

void evaluateCurve(int n, double t, const KnotArray& knot, const CoefTable& coef, double& y) {
  requireKnotCount(n);
  // A curve without knots has no value anywhere.
  if (n == 0) return;
  if (t == knot[1]) {
    y = coef[1][1];
    return;
  }
  if (t == knot[n]) {
    y = coef[1][n];
    return;
  }
  // Every piece is tested: with knots out of order the last one containing t wins.
  for (int i = 1; i <= n - 1; ++i) {
    if (knot[i] < t && t <= knot[i + 1]) y = pieceValue(coef, i, t - knot[i]);
  }
}

}  // namespace propclear
