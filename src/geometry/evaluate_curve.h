#pragma once
// The value of a fitted spline curve (spline_curve.h) at one abscissa t. The
// pieces are half-open, knot[i] < t <= knot[i + 1], tested in rising order
// without early exit (with knots out of order the last piece containing t
// wins); only the first and the last knot are tested for equality, and they
// give their stored values. No extrapolation.

#include "geometry/spline_curve.h"

namespace propclear {

// Writes v(t) to y when the curve covers t (SplineCurve::covers); otherwise y
// keeps the caller's value. A value that overflows is an arithmetic fault.
void evaluateCurve(const SplineCurve& curve, double t, double& y);

// Many evaluations of one curve, as evaluateCurve gives them: the same
// values, the same faults. Where the knots rise strictly, at most one piece
// holds any t, and a binary search finds it instead of a test of every
// piece. The curve must outlive the evaluation and stay unchanged.
class CurveEvaluation {
 public:
  explicit CurveEvaluation(const SplineCurve& curve);
  void at(double t, double& y) const;
  // Whether the knots rise strictly: then at most one piece holds any t.
  bool knotsRise() const { return knotsRise_; }

 private:
  const SplineCurve& curve_;
  bool knotsRise_ = false;
};

}  // namespace propclear
