#include "geometry/fit_curve.h"

#include <string>

#include "common/checked_math.h"

namespace propclear {

// c1..c4 below are rows 1..4 of coef and tau the knots. Until the last pass,
// rows 3 and 4 hold the tridiagonal system for the slopes c2: row 3 the
// knot spacings and the upper diagonal, row 4 the difference quotients and
// the diagonal. The guard terms (1e-6, 1e-7) belong to the established
// method and are reproduced exactly; so is the one unguarded pivot.

namespace {

constexpr double spacingGuard = 1e-6;
constexpr double pivotGuard = 1e-7;

// How the last row of the slope system is completed.
enum class LastEquation {
  ParabolicEnd,        // no third derivative on the last piece: a parabola there
  GivenCurvature,      // second derivative prescribed in c2[n]
  NotAKnotEliminated,  // not-a-knot row built; g is its elimination factor
  Solved,              // c2[n] is final
};

void requireKnotCount(int n) {
  if (n < 0 || n > maxKnots) {
    const std::string reason = "knot count " + std::to_string(n) +
                               " is negative or above " + std::to_string(maxKnots);
    throwArithmeticFault("the spline fit", reason.c_str());
  }
}

void computeDifferences(int n, const KnotArray& tau, CoefTable& coef) {
  const auto& c1 = coef[1];
  auto& c3 = coef[3];
  auto& c4 = coef[4];
  for (int m = 2; m <= n; ++m) {
    c3[m] = tau[m] - tau[m - 1];
    c4[m] = checkedDivide(c1[m] - c1[m - 1], c3[m] + spacingGuard,
                          "the spline fit (difference quotient)");
  }
}

// Returns whether the interior rows are eliminated (otherwise n <= 2).
bool setFirstEquation(int n, CoefTable& coef, int leftEnd) {
  auto& c2 = coef[2];
  auto& c3 = coef[3];
  auto& c4 = coef[4];
  if (leftEnd < givenSlopeEnd) {
    if (n > 2) {
      c4[1] = c3[3];
      c3[1] = c3[2] + c3[3];
      c2[1] = checkedDivide((c3[2] + 2.0 * c3[1]) * c4[2] * c3[3] + c3[2] * c3[2] * c4[3],
                            c3[1] + pivotGuard, "the spline fit (first equation)");
      return true;
    }
    c4[1] = 1.0;
    c3[1] = 1.0;
    c2[1] = 2.0 * c4[2];
    return false;
  }
  if (leftEnd == givenSlopeEnd) {
    c4[1] = 1.0;
    c3[1] = 0.0;
  } else {
    c4[1] = 2.0;
    c3[1] = 1.0;
    c2[1] = 3.0 * c4[2] - checkedDivide(c3[2], 2.0, "the spline fit (first equation)") * c2[1];
  }
  return n != 2;
}

void eliminateForward(int n, CoefTable& coef) {
  auto& c2 = coef[2];
  auto& c3 = coef[3];
  auto& c4 = coef[4];
  for (int m = 2; m <= n - 1; ++m) {
    const double g =
        checkedDivide(-c3[m + 1], c4[m - 1] + spacingGuard, "the spline fit (elimination)");
    c2[m] = g * c2[m - 1] + 3.0 * (c3[m] * c4[m + 1] + c3[m + 1] * c4[m]);
    c4[m] = g * c3[m - 1] + 2.0 * (c3[m] + c3[m + 1]);
  }
}

LastEquation setLastEquationAfterElimination(int n, CoefTable& coef, int leftEnd, int rightEnd,
                                             double& g) {
  if (rightEnd == givenSlopeEnd) return LastEquation::Solved;
  if (rightEnd > givenSlopeEnd) return LastEquation::GivenCurvature;
  if (n == 3 && leftEnd == notAKnotEnd) return LastEquation::ParabolicEnd;
  const auto& c1 = coef[1];
  auto& c2 = coef[2];
  const auto& c3 = coef[3];
  auto& c4 = coef[4];
  g = c3[n - 1] + c3[n];
  const double innerTerm = checkedDivide(c3[n] * c3[n] * (c1[n - 1] - c1[n - 2]),
                                         c3[n - 1] + spacingGuard, "the spline fit (last equation)");
  c2[n] = checkedDivide((c3[n] + 2.0 * g) * c4[n] * c3[n - 1] + innerTerm, g + spacingGuard,
                        "the spline fit (last equation)");
  g = checkedDivide(-g, c4[n - 1], "the spline fit (last equation, unguarded pivot)");
  c4[n] = c3[n - 1];
  return LastEquation::NotAKnotEliminated;
}

LastEquation setLastEquationWithoutElimination(int n, CoefTable& coef, int leftEnd, int rightEnd) {
  if (rightEnd == givenSlopeEnd) return LastEquation::Solved;
  if (rightEnd > givenSlopeEnd) return LastEquation::GivenCurvature;
  if (leftEnd > notAKnotEnd) return LastEquation::ParabolicEnd;
  coef[2][n] = coef[4][n];
  return LastEquation::Solved;
}

double lastEliminationFactor(int n, const CoefTable& coef) {
  return checkedDivide(-1.0, coef[4][n - 1] + pivotGuard, "the spline fit (last equation)");
}

void eliminateLastRow(int n, CoefTable& coef, double g) {
  auto& c2 = coef[2];
  const auto& c3 = coef[3];
  auto& c4 = coef[4];
  c4[n] = g * c3[n - 1] + c4[n];
  c2[n] = checkedDivide(g * c2[n - 1] + c2[n], c4[n] + pivotGuard,
                        "the spline fit (last equation)");
}

void closeLastEquation(int n, CoefTable& coef, LastEquation kind, double g) {
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

void substituteBackward(int n, CoefTable& coef) {
  auto& c2 = coef[2];
  const auto& c3 = coef[3];
  const auto& c4 = coef[4];
  for (int j = n - 1; j >= 1; --j) {
    c2[j] = checkedDivide(c2[j] - c3[j] * c2[j + 1], c4[j] + pivotGuard,
                          "the spline fit (back substitution)");
  }
}

void computePieceDerivatives(int n, CoefTable& coef) {
  const auto& c1 = coef[1];
  const auto& c2 = coef[2];
  auto& c3 = coef[3];
  auto& c4 = coef[4];
  constexpr const char* what = "the spline fit (piece derivatives)";
  for (int i = 2; i <= n; ++i) {
    const double spacing = c3[i];
    const double d1 = checkedDivide(c1[i] - c1[i - 1], spacing + pivotGuard, what);
    const double d3 = c2[i - 1] + c2[i] - 2.0 * d1;
    c3[i - 1] = checkedDivide(2.0 * (d1 - c2[i - 1] - d3), spacing + pivotGuard, what);
    c4[i - 1] = checkedDivide(d3, spacing + spacingGuard, what) *
                checkedDivide(6.0, spacing + pivotGuard, what);
  }
}

// Sums and products overflow silently; what the fit leaves must be finite.
void requireFiniteRows(int n, const CoefTable& coef) {
  for (int row = 2; row <= 4; ++row) {
    for (int i = 1; i <= n; ++i) requireFinite(coef[row][i], "the spline fit (result)");
  }
}

}  // namespace

void fitCurve(int n, KnotArray& knot, CoefTable& coef, int leftEnd, int rightEnd) {
  requireKnotCount(n);
  // One knot has no piece; the method would reach for knots 0 and -1.
  if (n <= 1) return;
  computeDifferences(n, knot, coef);
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
