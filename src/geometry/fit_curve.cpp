#include "geometry/fit_curve.h"

#include <array>
#include <cmath>
#include <span>

#include "common/checked_math.h"

namespace propclear {

// c1..c4 below are rows 1..4 of coef and tau the knots. Until the last pass,
// rows 3 and 4 hold the tridiagonal system for the slopes c2: row 3 the
// knot spacings and the upper diagonal, row 4 the difference quotients and
// the diagonal. The guard terms (1e-6, 1e-7) belong to the established
// method and are reproduced exactly; so is the one unguarded pivot.

namespace {

// How the last row of the slope system is completed.
enum class LastEquation {
  ParabolicEnd,        // no third derivative on the last piece: a parabola there
  GivenCurvature,      // second derivative prescribed in c2[n]
  NotAKnotEliminated,  // not-a-knot row built; g is its elimination factor
  Solved,              // c2[n] is final
};

// Rows 1..4 of the curve's coefficients (row 0 unused), each indexed by knot.
using CoefRows = std::array<std::span<double>, 5>;

template <class Divide>
void computeDifferences(int n, std::span<const double> tau, const CoefRows& coef, Divide& divide) {
  const auto& c1 = coef[1];
  auto& c3 = coef[3];
  auto& c4 = coef[4];
  for (int m = 2; m <= n; ++m) {
    c3[m] = tau[m] - tau[m - 1];
    c4[m] =
        divide(c1[m] - c1[m - 1], c3[m] + fitSpacingGuard, "the spline fit (difference quotient)");
  }
}

// Returns whether the interior rows are eliminated (otherwise n <= 2).
template <class Divide>
bool setFirstEquation(int n, const CoefRows& coef, EndCondition leftEnd, Divide& divide) {
  auto& c2 = coef[2];
  auto& c3 = coef[3];
  auto& c4 = coef[4];
  if (leftEnd == EndCondition::NotAKnot) {
    if (n > 2) {
      c4[1] = c3[3];
      c3[1] = c3[2] + c3[3];
      c2[1] = divide((c3[2] + 2.0 * c3[1]) * c4[2] * c3[3] + c3[2] * c3[2] * c4[3],
                     c3[1] + fitPivotGuard, "the spline fit (first equation)");
      return true;
    }
    c4[1] = 1.0;
    c3[1] = 1.0;
    c2[1] = 2.0 * c4[2];
    return false;
  }
  if (leftEnd == EndCondition::GivenSlope) {
    c4[1] = 1.0;
    c3[1] = 0.0;
  } else {
    c4[1] = 2.0;
    c3[1] = 1.0;
    c2[1] = 3.0 * c4[2] - divide(c3[2], 2.0, "the spline fit (first equation)") * c2[1];
  }
  return n != 2;
}

template <class Divide>
void eliminateForward(int n, const CoefRows& coef, Divide& divide) {
  auto& c2 = coef[2];
  auto& c3 = coef[3];
  auto& c4 = coef[4];
  for (int m = 2; m <= n - 1; ++m) {
    const double g =
        divide(-c3[m + 1], c4[m - 1] + fitSpacingGuard, "the spline fit (elimination)");
    c2[m] = g * c2[m - 1] + 3.0 * (c3[m] * c4[m + 1] + c3[m + 1] * c4[m]);
    c4[m] = g * c3[m - 1] + 2.0 * (c3[m] + c3[m + 1]);
  }
}

template <class Divide>
LastEquation setLastEquationAfterElimination(int n, const CoefRows& coef, EndCondition leftEnd,
                                             EndCondition rightEnd, double& g, Divide& divide) {
  if (rightEnd == EndCondition::GivenSlope) return LastEquation::Solved;
  if (rightEnd == EndCondition::GivenCurvature) return LastEquation::GivenCurvature;
  if (n == 3 && leftEnd == EndCondition::NotAKnot) return LastEquation::ParabolicEnd;
  const auto& c1 = coef[1];
  auto& c2 = coef[2];
  const auto& c3 = coef[3];
  auto& c4 = coef[4];
  g = c3[n - 1] + c3[n];
  const double innerTerm = divide(c3[n] * c3[n] * (c1[n - 1] - c1[n - 2]),
                                  c3[n - 1] + fitSpacingGuard, "the spline fit (last equation)");
  c2[n] = divide((c3[n] + 2.0 * g) * c4[n] * c3[n - 1] + innerTerm, g + fitSpacingGuard,
                 "the spline fit (last equation)");
  g = divide(-g, c4[n - 1], "the spline fit (last equation, unguarded pivot)");
  c4[n] = c3[n - 1];
  return LastEquation::NotAKnotEliminated;
}

LastEquation setLastEquationWithoutElimination(int n, const CoefRows& coef, EndCondition leftEnd,
                                               EndCondition rightEnd) {
  if (rightEnd == EndCondition::GivenSlope) return LastEquation::Solved;
  if (rightEnd == EndCondition::GivenCurvature) return LastEquation::GivenCurvature;
  if (leftEnd != EndCondition::NotAKnot) return LastEquation::ParabolicEnd;
  coef[2][n] = coef[4][n];
  return LastEquation::Solved;
}

template <class Divide>
double lastEliminationFactor(int n, const CoefRows& coef, Divide& divide) {
  return divide(-1.0, coef[4][n - 1] + fitPivotGuard, "the spline fit (last equation)");
}

template <class Divide>
void eliminateLastRow(int n, const CoefRows& coef, double g, Divide& divide) {
  auto& c2 = coef[2];
  const auto& c3 = coef[3];
  auto& c4 = coef[4];
  c4[n] = g * c3[n - 1] + c4[n];
  c2[n] = divide(g * c2[n - 1] + c2[n], c4[n] + fitPivotGuard, "the spline fit (last equation)");
}

template <class Divide>
void closeLastEquation(int n, const CoefRows& coef, LastEquation kind, double g, Divide& divide) {
  auto& c2 = coef[2];
  const auto& c3 = coef[3];
  auto& c4 = coef[4];
  switch (kind) {
    case LastEquation::ParabolicEnd:
      c2[n] = 2.0 * c4[n];
      c4[n] = 1.0;
      eliminateLastRow(n, coef, lastEliminationFactor(n, coef, divide), divide);
      return;
    case LastEquation::GivenCurvature:
      c2[n] = 3.0 * c4[n] + divide(c3[n], 2.0, "the spline fit (last equation)") * c2[n];
      c4[n] = 2.0;
      eliminateLastRow(n, coef, lastEliminationFactor(n, coef, divide), divide);
      return;
    case LastEquation::NotAKnotEliminated:
      eliminateLastRow(n, coef, g, divide);
      return;
    case LastEquation::Solved:
      return;
  }
}

template <class Divide>
void substituteBackward(int n, const CoefRows& coef, Divide& divide) {
  auto& c2 = coef[2];
  const auto& c3 = coef[3];
  const auto& c4 = coef[4];
  for (int j = n - 1; j >= 1; --j) {
    c2[j] = divide(c2[j] - c3[j] * c2[j + 1], c4[j] + fitPivotGuard,
                   "the spline fit (back substitution)");
  }
}

template <class Divide>
void computePieceDerivatives(int n, const CoefRows& coef, Divide& divide) {
  const auto& c1 = coef[1];
  const auto& c2 = coef[2];
  auto& c3 = coef[3];
  auto& c4 = coef[4];
  constexpr const char* what = "the spline fit (piece derivatives)";
  for (int i = 2; i <= n; ++i) {
    const double spacing = c3[i];
    const double d1 = divide(c1[i] - c1[i - 1], spacing + fitPivotGuard, what);
    const double d3 = c2[i - 1] + c2[i] - 2.0 * d1;
    c3[i - 1] = divide(2.0 * (d1 - c2[i - 1] - d3), spacing + fitPivotGuard, what);
    c4[i - 1] =
        divide(d3, spacing + fitSpacingGuard, what) * divide(6.0, spacing + fitPivotGuard, what);
  }
}

// Sums and products overflow silently; what the fit leaves must be finite.
void requireFiniteRows(int n, const CoefRows& coef) {
  for (int row = 2; row <= 4; ++row) {
    for (int i = 1; i <= n; ++i) requireFinite(coef[row][i], "the spline fit (result)");
  }
}

// The fit proper, its divisions made by `divide`.
template <class Divide>
void solve(int n, const CoefRows& coef, std::span<const double> knots, EndCondition leftEnd,
           EndCondition rightEnd, Divide& divide) {
  computeDifferences(n, knots, coef, divide);
  double g = 0.0;
  LastEquation lastEquation;
  if (setFirstEquation(n, coef, leftEnd, divide)) {
    eliminateForward(n, coef, divide);
    lastEquation = setLastEquationAfterElimination(n, coef, leftEnd, rightEnd, g, divide);
  } else {
    lastEquation = setLastEquationWithoutElimination(n, coef, leftEnd, rightEnd);
  }
  closeLastEquation(n, coef, lastEquation, g, divide);
  substituteBackward(n, coef, divide);
  computePieceDerivatives(n, coef, divide);
}

// Each division checked as it is made.
struct CheckedDivisions {
  double operator()(double numerator, double denominator, const char* what) const {
    return checkedDivide(numerator, denominator, what);
  }
};

// Each division's quotient added to a sum, which stays finite only while
// every quotient is (a zero divisor gives none that is); so is every
// coefficient left, once added. A sum that is not finite may also come of
// finite terms too large to add: the fit is then only made again.
struct DeferredDivisions {
  double sum = 0.0;
  double operator()(double numerator, double denominator, const char*) {
    const double quotient = numerator / denominator;
    sum += quotient;
    return quotient;
  }
  bool leftAllFinite(int n, const CoefRows& coef) {
    for (int row = 2; row <= 4; ++row) {
      for (int i = 1; i <= n; ++i) sum += coef[row][i];
    }
    return std::isfinite(sum);
  }
};

}  // namespace

// The fit runs first with its checks deferred; only where they find a fault
// does it run again from its inputs (the knots, the values and the given end
// values) with each division checked, to raise the first fault it makes.
void fitCurve(SplineCurve& curve, EndCondition leftEnd, EndCondition rightEnd) {
  const int n = curve.knotCount();
  // One knot has no piece; the method would reach for knots 0 and -1.
  if (n <= 1) return;
  const CoefRows coef{{{}, curve.coef(1), curve.coef(2), curve.coef(3), curve.coef(4)}};
  const double givenAtFirst = coef[2][1], givenAtLast = coef[2][n];
  DeferredDivisions deferred;
  solve(n, coef, curve.knots(), leftEnd, rightEnd, deferred);
  if (deferred.leftAllFinite(n, coef)) return;
  coef[2][1] = givenAtFirst;
  coef[2][n] = givenAtLast;
  CheckedDivisions checked;
  solve(n, coef, curve.knots(), leftEnd, rightEnd, checked);
  requireFiniteRows(n, coef);
}

}  // namespace propclear
