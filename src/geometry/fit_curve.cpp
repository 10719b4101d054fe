#include "geometry/fit_curve.h"

#include <array>
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

void computeDifferences(int n, std::span<const double> tau, const CoefRows& coef) {
  const auto& c1 = coef[1];
  auto& c3 = coef[3];
  auto& c4 = coef[4];
  for (int m = 2; m <= n; ++m) {
    c3[m] = tau[m] - tau[m - 1];
    c4[m] = checkedDivide(c1[m] - c1[m - 1], c3[m] + fitSpacingGuard,
                          "the spline fit (difference quotient)");
  }
}

// Returns whether the interior rows are eliminated (otherwise n <= 2).
bool setFirstEquation(int n, const CoefRows& coef, EndCondition leftEnd) {
  auto& c2 = coef[2];
  auto& c3 = coef[3];
  auto& c4 = coef[4];
  if (leftEnd == EndCondition::NotAKnot) {
    if (n > 2) {
      c4[1] = c3[3];
      c3[1] = c3[2] + c3[3];
      c2[1] = checkedDivide((c3[2] + 2.0 * c3[1]) * c4[2] * c3[3] + c3[2] * c3[2] * c4[3],
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
    c2[1] = 3.0 * c4[2] - checkedDivide(c3[2], 2.0, "the spline fit (first equation)") * c2[1];
  }
  return n != 2;
}

void eliminateForward(int n, const CoefRows& coef) {
  auto& c2 = coef[2];
  auto& c3 = coef[3];
  auto& c4 = coef[4];
  for (int m = 2; m <= n - 1; ++m) {
    const double g =
        checkedDivide(-c3[m + 1], c4[m - 1] + fitSpacingGuard, "the spline fit (elimination)");
    c2[m] = g * c2[m - 1] + 3.0 * (c3[m] * c4[m + 1] + c3[m + 1] * c4[m]);
    c4[m] = g * c3[m - 1] + 2.0 * (c3[m] + c3[m + 1]);
  }
}

LastEquation setLastEquationAfterElimination(int n, const CoefRows& coef, EndCondition leftEnd,
                                             EndCondition rightEnd, double& g) {
  if (rightEnd == EndCondition::GivenSlope) return LastEquation::Solved;
  if (rightEnd == EndCondition::GivenCurvature) return LastEquation::GivenCurvature;
  if (n == 3 && leftEnd == EndCondition::NotAKnot) return LastEquation::ParabolicEnd;
  const auto& c1 = coef[1];
  auto& c2 = coef[2];
  const auto& c3 = coef[3];
  auto& c4 = coef[4];
  g = c3[n - 1] + c3[n];
  const double innerTerm =
      checkedDivide(c3[n] * c3[n] * (c1[n - 1] - c1[n - 2]), c3[n - 1] + fitSpacingGuard,
                    "the spline fit (last equation)");
  c2[n] = checkedDivide((c3[n] + 2.0 * g) * c4[n] * c3[n - 1] + innerTerm, g + fitSpacingGuard,
                        "the spline fit (last equation)");
  g = checkedDivide(-g, c4[n - 1], "the spline fit (last equation, unguarded pivot)");
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

double lastEliminationFactor(int n, const CoefRows& coef) {
  return checkedDivide(-1.0, coef[4][n - 1] + fitPivotGuard, "the spline fit (last equation)");
}

void eliminateLastRow(int n, const CoefRows& coef, double g) {
  auto& c2 = coef[2];
  const auto& c3 = coef[3];
  auto& c4 = coef[4];
  c4[n] = g * c3[n - 1] + c4[n];
  c2[n] =
      checkedDivide(g * c2[n - 1] + c2[n], c4[n] + fitPivotGuard, "the spline fit (last equation)");
}

void closeLastEquation(int n, const CoefRows& coef, LastEquation kind, double g) {
  auto& c2 = coef[2];
  const auto& c3 = coef[3];
  auto& c4 = coef[4];
  switch (kind) {
    case LastEquation::ParabolicEnd:
      c2[n] = 2.0 * c4[n];
      c4[n] = 1.0;
      eliminateLastRow(n, coef, lastEliminationFactor(n, coef));
      return;
    case LastEquation::GivenCurvature:
      c2[n] = 3.0 * c4[n] + checkedDivide(c3[n], 2.0, "the spline fit (last equation)") * c2[n];
      c4[n] = 2.0;
      eliminateLastRow(n, coef, lastEliminationFactor(n, coef));
      return;
    case LastEquation::NotAKnotEliminated:
      eliminateLastRow(n, coef, g);
      return;
    case LastEquation::Solved:
      return;
  }
}

void substituteBackward(int n, const CoefRows& coef) {
  auto& c2 = coef[2];
  const auto& c3 = coef[3];
  const auto& c4 = coef[4];
  for (int j = n - 1; j >= 1; --j) {
    c2[j] = checkedDivide(c2[j] - c3[j] * c2[j + 1], c4[j] + fitPivotGuard,
                          "the spline fit (back substitution)");
  }
}

void computePieceDerivatives(int n, const CoefRows& coef) {
  const auto& c1 = coef[1];
  const auto& c2 = coef[2];
  auto& c3 = coef[3];
  auto& c4 = coef[4];
  constexpr const char* what = "the spline fit (piece derivatives)";
  for (int i = 2; i <= n; ++i) {
    const double spacing = c3[i];
    const double d1 = checkedDivide(c1[i] - c1[i - 1], spacing + fitPivotGuard, what);
    const double d3 = c2[i - 1] + c2[i] - 2.0 * d1;
    c3[i - 1] = checkedDivide(2.0 * (d1 - c2[i - 1] - d3), spacing + fitPivotGuard, what);
    c4[i - 1] = checkedDivide(d3, spacing + fitSpacingGuard, what) *
                checkedDivide(6.0, spacing + fitPivotGuard, what);
  }
}

// Sums and products overflow silently; what the fit leaves must be finite.
void requireFiniteRows(int n, const CoefRows& coef) {
  for (int row = 2; row <= 4; ++row) {
    for (int i = 1; i <= n; ++i) requireFinite(coef[row][i], "the spline fit (result)");
  }
}

}  // namespace

void fitCurve(SplineCurve& curve, EndCondition leftEnd, EndCondition rightEnd) {
  const int n = curve.knotCount();
  // One knot has no piece; the method would reach for knots 0 and -1.
  if (n <= 1) return;
  const CoefRows coef{{{}, curve.coef(1), curve.coef(2), curve.coef(3), curve.coef(4)}};
  computeDifferences(n, curve.knots(), coef);
  double g = 0.0;
  LastEquation lastEquation;
  if (setFirstEquation(n, coef, leftEnd)) {
    eliminateForward(n, coef);
    lastEquation = setLastEquationAfterElimination(n, coef, leftEnd, rightEnd, g);
  } else {
    lastEquation = setLastEquationWithoutElimination(n, coef, leftEnd, rightEnd);
  }
  closeLastEquation(n, coef, lastEquation, g);
  substituteBackward(n, coef);
  computePieceDerivatives(n, coef);
  requireFiniteRows(n, coef);
}

}  // namespace propclear
