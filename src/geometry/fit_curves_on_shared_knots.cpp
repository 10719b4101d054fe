#include "geometry/fit_curves_on_shared_knots.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/double_lanes.h"
#include "geometry/fit_curve.h"

namespace propclear {

namespace {

constexpr std::size_t laneCount = 8;
constexpr int maxSharedKnots = 16;
using Lanes = FixedLanes<laneCount>;
template <class T>
using PerKnot = std::array<T, maxSharedKnots + 1>;  // knots 1..n, index 0 unused

// The not-a-knot path of fitCurve for n >= 4, names as there: c3 the
// spacings and upper diagonal, pivot the diagonal (both from the knots), c1
// the values, quotient the difference quotients and c2 the slopes, one curve
// per lane.
//
// The divisions are checked after the fact: each quotient is added to a
// running sum, which stays finite only while every quotient is (a zero
// divisor gives none that is). Where the sums are not finite, the curves
// are fitted again one by one, so that fitCurve's checked divisions raise
// the fault it raises first.
class SharedKnotFit {
 public:
  SharedKnotFit(std::span<SplineCurve* const> curves, int n) : n_(n) {
    const auto lane = [&](auto k) -> const SplineCurve& {
      return *curves[std::min<std::size_t>(k, curves.size() - 1)];
    };
    for (int i = 1; i <= n_; ++i) {
      c1_[i] = Lanes([&](auto k) { return lane(k).value(i); });
    }
    const SplineCurve& first = *curves.front();
    for (int m = 2; m <= n_; ++m) c3_[m] = first.knot(m) - first.knot(m - 1);
  }

  // False where fitCurve would find a fault (or the check's sums overflow).
  bool fit() {
    computeDifferences();
    setFirstEquation();
    eliminateForward();
    closeLastEquation();
    substituteBackward();
    computePieceDerivatives();
    return allFinite(laneCheck_) && std::isfinite(knotCheck_);
  }

  void store(std::span<SplineCurve* const> curves) const {
    std::array<std::array<double*, 3>, laneCount> rows{};  // rows 2..4 of each curve
    for (std::size_t k = 0; k < curves.size(); ++k) {
      rows[k] = {curves[k]->coef(2).data(), curves[k]->coef(3).data(), curves[k]->coef(4).data()};
    }
    for (int i = 1; i <= n_; ++i) {
      std::array<std::array<double, laneCount>, 3> values{};
      c2_[i].copy_to(values[0].data(), elementAligned);
      if (i < n_) {
        c3Out_[i].copy_to(values[1].data(), elementAligned);
        c4Out_[i].copy_to(values[2].data(), elementAligned);
      } else {
        values[1].fill(c3_[n_]);
        values[2].fill(pivot_[n_]);
      }
      for (std::size_t k = 0; k < curves.size(); ++k) {
        for (std::size_t row = 0; row < 3; ++row) rows[k][row][i] = values[row][k];
      }
    }
  }

 private:
  Lanes divide(Lanes numerator, double denominator) {
    const Lanes quotient = numerator / denominator;
    laneCheck_ += quotient;
    return quotient;
  }
  double divide(double numerator, double denominator) {
    const double quotient = numerator / denominator;
    knotCheck_ += quotient;
    return quotient;
  }

  void computeDifferences() {
    for (int m = 2; m <= n_; ++m) {
      quotient_[m] = divide(c1_[m] - c1_[m - 1], c3_[m] + fitSpacingGuard);
    }
  }

  void setFirstEquation() {
    pivot_[1] = c3_[3];
    c3_[1] = c3_[2] + c3_[3];
    c2_[1] =
        divide((c3_[2] + 2.0 * c3_[1]) * quotient_[2] * c3_[3] + c3_[2] * c3_[2] * quotient_[3],
               c3_[1] + fitPivotGuard);
  }

  void eliminateForward() {
    for (int m = 2; m <= n_ - 1; ++m) {
      const double g = divide(-c3_[m + 1], pivot_[m - 1] + fitSpacingGuard);
      c2_[m] = g * c2_[m - 1] + 3.0 * (c3_[m] * quotient_[m + 1] + c3_[m + 1] * quotient_[m]);
      pivot_[m] = g * c3_[m - 1] + 2.0 * (c3_[m] + c3_[m + 1]);
    }
  }

  void closeLastEquation() {
    const int n = n_;
    const double g = c3_[n - 1] + c3_[n];
    const Lanes innerTerm =
        divide(c3_[n] * c3_[n] * (c1_[n - 1] - c1_[n - 2]), c3_[n - 1] + fitSpacingGuard);
    c2_[n] =
        divide((c3_[n] + 2.0 * g) * quotient_[n] * c3_[n - 1] + innerTerm, g + fitSpacingGuard);
    const double factor = divide(-g, pivot_[n - 1]);
    pivot_[n] = factor * c3_[n - 1] + c3_[n - 1];
    c2_[n] = divide(factor * c2_[n - 1] + c2_[n], pivot_[n] + fitPivotGuard);
  }

  void substituteBackward() {
    for (int j = n_ - 1; j >= 1; --j) {
      c2_[j] = divide(c2_[j] - c3_[j] * c2_[j + 1], pivot_[j] + fitPivotGuard);
    }
  }

  void computePieceDerivatives() {
    for (int i = 2; i <= n_; ++i) {
      const double spacing = c3_[i];
      const Lanes d1 = divide(c1_[i] - c1_[i - 1], spacing + fitPivotGuard);
      const Lanes d3 = c2_[i - 1] + c2_[i] - 2.0 * d1;
      c3Out_[i - 1] = divide(2.0 * (d1 - c2_[i - 1] - d3), spacing + fitPivotGuard);
      c4Out_[i - 1] = divide(d3, spacing + fitSpacingGuard) * divide(6.0, spacing + fitPivotGuard);
    }
    for (int i = 1; i < n_; ++i) laneCheck_ += c4Out_[i];
    knotCheck_ += c3_[n_] + pivot_[n_];
  }

  int n_;
  PerKnot<double> c3_{};
  PerKnot<double> pivot_{};
  PerKnot<Lanes> c1_, quotient_, c2_, c3Out_, c4Out_;
  Lanes laneCheck_ = 0.0;
  double knotCheck_ = 0.0;
};

bool sameKnots(std::span<SplineCurve* const> curves) {
  const SplineCurve& first = *curves.front();
  const auto knots = first.knots();
  return std::all_of(curves.begin() + 1, curves.end(), [&](const SplineCurve* curve) {
    const auto other = curve->knots();  // std::equal: WebAssembly's C++ library has no ranges yet
    return curve->knotCount() == first.knotCount() &&
           std::equal(other.begin(), other.end(), knots.begin(), knots.end());
  });
}

void fitOneByOne(std::span<SplineCurve* const> curves) {
  for (SplineCurve* curve : curves)
    fitCurve(*curve, EndCondition::NotAKnot, EndCondition::NotAKnot);
}

}  // namespace

void fitNotAKnotCurves(std::span<SplineCurve* const> curves) {
  for (std::size_t from = 0; from < curves.size(); from += laneCount) {
    const std::span<SplineCurve* const> group =
        curves.subspan(from, std::min(laneCount, curves.size() - from));
    const int n = group.front()->knotCount();
    if (n < 4 || n > maxSharedKnots || !sameKnots(group)) {
      fitOneByOne(group);
      continue;
    }
    SharedKnotFit fit(group, n);
    if (!fit.fit()) {
      fitOneByOne(group);
      continue;
    }
    fit.store(group);
  }
}

}  // namespace propclear
