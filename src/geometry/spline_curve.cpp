#include "geometry/spline_curve.h"

#include <string>

#include "common/checked_math.h"

namespace propclear {

namespace {

constexpr int coefficientRows = 4;

int checkedKnotCount(int n) {
  if (n < 0 || n > maxKnots) {
    const std::string reason = "knot count " + std::to_string(n) + " is negative or above " +
                               std::to_string(maxKnots);
    throwArithmeticFault("the spline curve", reason.c_str());
  }
  return n;
}

}  // namespace

SplineCurve::SplineCurve(int knotCount)
    : knotCount_(checkedKnotCount(knotCount)),
      data_((coefficientRows + 1) * (static_cast<std::size_t>(knotCount) + 1), 0.0) {}

bool SplineCurve::covers(double t) const {
  const int n = knotCount_;
  if (n < 1) return false;
  if (t == knot(1) || t == knot(n)) return true;
  for (int i = 1; i <= n - 1; ++i) {
    if (knot(i) < t && t <= knot(i + 1)) return true;
  }
  return false;
}

}  // namespace propclear
