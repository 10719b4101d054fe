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

CurveEvaluation::CurveEvaluation(const SplineCurve& curve) : curve_(curve) {
  const std::span<const double> knot = curve.knots();
  knotsRise_ = true;
  for (int i = 1; i < curve.knotCount(); ++i) knotsRise_ = knotsRise_ && knot[i] < knot[i + 1];
}

void CurveEvaluation::at(double t, double& y) const {
  if (!knotsRise_) return evaluateCurve(curve_, t, y);
  const int n = curve_.knotCount();
  if (n == 0) return;
  const std::span<const double> knot = curve_.knots();
  if (t == knot[1]) {
    y = curve_.value(1);
    return;
  }
  if (t == knot[n]) {
    y = curve_.value(n);
    return;
  }
  // The first piece i whose end knot[i + 1] is not below t.
  int first = 1, count = n - 1;
  while (count > 1) {
    const int half = count / 2;
    first = knot[first + half] < t ? first + half : first;
    count -= half;
  }
  if (knot[first] < t && t <= knot[first + 1]) y = pieceValue(curve_, first, t - knot[first]);
}

}  // namespace propclear
