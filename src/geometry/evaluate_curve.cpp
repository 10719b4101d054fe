#include "geometry/evaluate_curve.h"

#include "common/checked_math.h"

namespace propclear {

namespace {

// v = c1 + c2 h + (c3 + c4 h/3) h^2/2, grouped as the established results
// were computed.
double pieceValue(const SplineCurve& curve, int i, double h) {
  const double cubicTerm =
      curve.coef(3)[i] + checkedDivide(curve.coef(4)[i] * h, 3.0, "the curve value");
  const double value = curve.coef(1)[i] + curve.coef(2)[i] * h +
                       checkedDivide(cubicTerm * (h * h), 2.0, "the curve value");
  return requireFinite(value, "the curve value");
}

}  // namespace

void evaluateCurve(const SplineCurve& curve, double t, double& y) {
  const int n = curve.knotCount();
  // A curve without knots has no value anywhere.
  if (n == 0) return;
  const std::span<const double> knot = curve.knots();
  if (t == knot[1]) {
    y = curve.value(1);
    return;
  }
  if (t == knot[n]) {
    y = curve.value(n);
    return;
  }
  // Every piece is tested: with knots out of order the last one containing t wins.
  for (int i = 1; i <= n - 1; ++i) {
    if (knot[i] < t && t <= knot[i + 1]) y = pieceValue(curve, i, t - knot[i]);
  }
}

}  // namespace propclear
