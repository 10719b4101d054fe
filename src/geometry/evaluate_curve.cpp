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

// Whether t needs no piece: a curve without knots has no value anywhere,
// and the first and the last knot give their stored values (into y).
bool settledWithoutPiece(const SplineCurve& curve, double t, double& y) {
  const int n = curve.knotCount();
  if (n == 0) return true;
  for (const int end : {1, n}) {
    if (t == curve.knot(end)) {
      y = curve.value(end);
      return true;
    }
  }
  return false;
}

}  // namespace

void evaluateCurve(const SplineCurve& curve, double t, double& y) {
  if (settledWithoutPiece(curve, t, y)) return;
  const int n = curve.knotCount();
  const std::span<const double> knot = curve.knots();
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
  if (settledWithoutPiece(curve_, t, y)) return;
  const int n = curve_.knotCount();
  const std::span<const double> knot = curve_.knots();
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
