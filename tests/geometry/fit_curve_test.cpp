#include "geometry/fit_curve.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <vector>

#include "curve_builders.h"
#include "geometry/evaluate_curve.h"

namespace propclear {
namespace {

using test::fittedCurve;
using test::loadCurve;

// Worked values printed to six decimals, compared on their last digit.
constexpr double kPrintedDigits = 1e-6;
// The guard terms pull a reproduced polynomial off by about this much.
constexpr double kGuardEffect = 1e-4;

double cubic(double t) { return 1.0 + 2.0 * t - 0.5 * t * t + 0.25 * t * t * t; }
double cubicSlope(double t) { return 2.0 - t + 0.75 * t * t; }
double cubicCurvature(double t) { return -1.0 + 1.5 * t; }

double valueAt(const CurveWorkspace& workspace, int n, double t) {
  double y = 0.0;
  evaluateCurve(n, t, workspace.knot, workspace.coef, y);
  return y;
}

TEST(FitCurve, NotAKnotReproducesACubic) {
  const CurveWorkspace curve = fittedCurve({0.0, 1.0, 2.5, 3.0, 4.5, 6.0},
                                           {cubic(0.0), cubic(1.0), cubic(2.5), cubic(3.0),
                                            cubic(4.5), cubic(6.0)});
  EXPECT_NEAR(valueAt(curve, 6, 0.5), 1.906249, kPrintedDigits);
  EXPECT_NEAR(valueAt(curve, 6, 5.9), 46.739753, kPrintedDigits);
  for (double t = 0.0; t <= 6.0; t += 0.25) {
    EXPECT_NEAR(valueAt(curve, 6, t), cubic(t), kGuardEffect) << t;
  }
}

// Rows 2..4 of the cubic's fit to full precision, computed independently
// with the same operations in the same order. The printed six decimals above
// do not notice a guard term moved to another place; these do.
constexpr double kCubicCoefficients[3][6] = {
    {1.9999923971423887, 1.7500015570510323, 4.187491994034515, 5.749989344451888,
     12.687504337795469, 22.999940977097435},
    {-0.9999736526741494, 0.5000057724842235, 2.7500942698998507, 3.5000200143998303,
     5.750062063078347, 1.5},
    {1.4999641751995738, 1.4999826584629345, 1.4995962245518795, 1.4999852304479504,
     1.49985931759487, 0.7214428961148703},
};

TEST(FitCurve, CubicCoefficientsMatchTheReference) {
  const CurveWorkspace curve = fittedCurve({0.0, 1.0, 2.5, 3.0, 4.5, 6.0},
                                           {cubic(0.0), cubic(1.0), cubic(2.5), cubic(3.0),
                                            cubic(4.5), cubic(6.0)});
  for (int row = 2; row <= 4; ++row) {
    for (int i = 1; i <= 6; ++i) {
      EXPECT_DOUBLE_EQ(curve.coef[row][i], kCubicCoefficients[row - 2][i - 1]) << row << i;
    }
  }
}

TEST(FitCurve, ThreeKnotsGiveTheParabola) {
  const CurveWorkspace curve = fittedCurve({0.0, 1.0, 3.0}, {0.0, 1.0, 9.0});
  EXPECT_NEAR(valueAt(curve, 3, 0.5), 0.25, kPrintedDigits);
  EXPECT_NEAR(valueAt(curve, 3, 2.0), 4.0000004, 1e-7);
  EXPECT_NEAR(curve.coef[3][1], 2.0, kGuardEffect);
  EXPECT_NEAR(curve.coef[4][1], 0.0, kGuardEffect);
  EXPECT_NEAR(curve.coef[2][1], 0.0, kGuardEffect);
}

TEST(FitCurve, FitLeavesValuesAndUnusedEntriesAlone) {
  CurveWorkspace curve = loadCurve({0.0, 1.0, 3.0}, {0.0, 1.0, 9.0});
  curve.knot[4] = 7.0;
  for (int row = 1; row <= 4; ++row) curve.coef[row][4] = 7.0;
  const CurveWorkspace before = curve;
  fitCurve(3, curve.knot, curve.coef, notAKnotEnd, notAKnotEnd);
  EXPECT_EQ(curve.knot, before.knot);
  EXPECT_EQ(curve.coef[1], before.coef[1]);
  for (int row = 0; row <= 4; ++row) {
    EXPECT_EQ(curve.coef[row][0], 0.0) << row;
    EXPECT_EQ(curve.coef[row][4], before.coef[row][4]) << row;
  }
}

class TwoKnotLine : public ::testing::TestWithParam<double> {};

TEST_P(TwoKnotLine, IsStraightUpToTheGuardResidues) {
  const double rise = GetParam();
  const CurveWorkspace curve = fittedCurve({0.0, 1.0}, {0.0, rise});
  EXPECT_DOUBLE_EQ(curve.coef[2][1], rise / ((1.0 + 1e-6) * (1.0 + 1e-7)));
  const double residueTolerance = 1e-9 * std::abs(rise);
  EXPECT_NEAR(curve.coef[3][1], 5.8e-6 * rise, residueTolerance);
  EXPECT_NEAR(curve.coef[4][1], -1.14e-5 * rise, residueTolerance);
}

INSTANTIATE_TEST_SUITE_P(Rises, TwoKnotLine, ::testing::Values(1.0, -3.5, 250.0));

TEST(FitCurve, OneKnotHasNothingToFit) {
  CurveWorkspace curve = loadCurve({2.0, 5.0}, {3.0, 4.0});
  for (int row = 2; row <= 4; ++row) curve.coef[row][1] = 7.0;
  const CurveWorkspace before = curve;
  for (int leftEnd = 0; leftEnd <= 2; ++leftEnd) {
    for (int rightEnd = 0; rightEnd <= 2; ++rightEnd) {
      fitCurve(1, curve.knot, curve.coef, leftEnd, rightEnd);
      EXPECT_EQ(curve.coef, before.coef) << leftEnd << rightEnd;
    }
  }
  fitCurve(0, curve.knot, curve.coef, notAKnotEnd, notAKnotEnd);
  EXPECT_EQ(curve.coef, before.coef);
}

TEST(FitCurve, KnotCountBeyondTheStoreIsRejected) {
  CurveWorkspace curve;
  test::expectArithmeticFault(
      [&] { fitCurve(maxKnots + 1, curve.knot, curve.coef, notAKnotEnd, notAKnotEnd); },
      "knot count 1001");
  test::expectArithmeticFault(
      [&] { fitCurve(-1, curve.knot, curve.coef, notAKnotEnd, notAKnotEnd); }, "knot count -1");
}

TEST(FitCurve, FullStoreIsFitted) {
  CurveWorkspace curve;
  for (int i = 1; i <= maxKnots; ++i) {
    curve.knot[i] = i;
    curve.coef[1][i] = 2.0 * i;
  }
  fitCurve(maxKnots, curve.knot, curve.coef, notAKnotEnd, notAKnotEnd);
  EXPECT_NEAR(valueAt(curve, maxKnots, 999.5), 1999.0, kGuardEffect);
}

// End conditions: each combination reproduces the cubic when the prescribed
// slope or second derivative is the cubic's own.
struct EndConditions {
  int leftEnd;
  int rightEnd;
  std::vector<double> knots;
};

// Test listings name the end codes and the knot count, not the record's bytes.
void PrintTo(const EndConditions& ends, std::ostream* out) {
  *out << "ends " << ends.leftEnd << "," << ends.rightEnd << ", " << ends.knots.size() << " knots";
}

double prescribed(int code, double t) {
  return code == givenSlopeEnd ? cubicSlope(t) : cubicCurvature(t);
}

class EndConditionBranch : public ::testing::TestWithParam<EndConditions> {};

TEST_P(EndConditionBranch, ReproducesTheCubic) {
  const EndConditions& ends = GetParam();
  CurveWorkspace curve;
  int n = 0;
  for (const double t : ends.knots) {
    ++n;
    curve.knot[n] = t;
    curve.coef[1][n] = cubic(t);
  }
  const double first = curve.knot[1];
  const double last = curve.knot[n];
  if (ends.leftEnd >= givenSlopeEnd) curve.coef[2][1] = prescribed(ends.leftEnd, first);
  if (ends.rightEnd >= givenSlopeEnd) curve.coef[2][n] = prescribed(ends.rightEnd, last);
  fitCurve(n, curve.knot, curve.coef, ends.leftEnd, ends.rightEnd);
  for (double t = first; t <= last; t += (last - first) / 16.0) {
    EXPECT_NEAR(valueAt(curve, n, t), cubic(t), kGuardEffect) << t;
  }
  for (int i = 1; i <= n - 1; ++i) {
    EXPECT_NEAR(curve.coef[2][i], cubicSlope(curve.knot[i]), 10 * kGuardEffect) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllCodes, EndConditionBranch,
    ::testing::Values(EndConditions{0, 1, {0.0, 1.0, 2.5, 3.0, 4.5, 6.0}},
                      EndConditions{0, 2, {0.0, 1.0, 2.5, 3.0, 4.5, 6.0}},
                      EndConditions{1, 0, {0.0, 1.0, 2.5, 3.0, 4.5, 6.0}},
                      EndConditions{1, 1, {0.0, 1.0, 2.5, 3.0, 4.5, 6.0}},
                      EndConditions{1, 2, {0.0, 1.0, 2.5, 3.0, 4.5, 6.0}},
                      EndConditions{2, 0, {0.0, 1.0, 2.5, 3.0, 4.5, 6.0}},
                      EndConditions{2, 1, {0.0, 1.0, 2.5, 3.0, 4.5, 6.0}},
                      EndConditions{2, 2, {0.0, 1.0, 2.5, 3.0, 4.5, 6.0}},
                      // Three knots: the last row is built after one elimination step.
                      EndConditions{1, 0, {0.0, 1.0, 3.0}},
                      EndConditions{2, 0, {0.0, 1.0, 3.0}},
                      EndConditions{0, 1, {0.0, 1.0, 3.0}},
                      // Two knots: no elimination at all.
                      EndConditions{1, 1, {0.0, 2.0}},
                      EndConditions{1, 2, {0.0, 2.0}},
                      EndConditions{2, 1, {0.0, 2.0}},
                      EndConditions{2, 2, {0.0, 2.0}}));

TEST(FitCurve, TwoKnotsWithOneGivenEndGiveAParabola) {
  // t^2 through t = 0 and t = 2 with slope 0 given at the left end.
  CurveWorkspace curve = loadCurve({0.0, 2.0}, {0.0, 4.0});
  curve.coef[2][1] = 0.0;
  fitCurve(2, curve.knot, curve.coef, givenSlopeEnd, notAKnotEnd);
  EXPECT_NEAR(valueAt(curve, 2, 1.0), 1.0, kGuardEffect);
  EXPECT_NEAR(curve.coef[3][1], 2.0, kGuardEffect);
  EXPECT_NEAR(curve.coef[4][1], 0.0, kGuardEffect);
}

TEST(FitCurve, ZeroUnguardedPivotIsAnArithmeticFault) {
  // Spacings 0, 1, -1 cancel the last pivot of the elimination exactly.
  CurveWorkspace curve = loadCurve({0.0, 0.0, 1.0, 0.0}, {0.0, 1.0, 2.0, 3.0});
  test::expectArithmeticFault(
      [&] { fitCurve(4, curve.knot, curve.coef, notAKnotEnd, notAKnotEnd); },
      "the spline fit (last equation, unguarded pivot)");
}

TEST(FitCurve, ZeroUnguardedPivotWithAGivenSlopeIsAnArithmeticFault) {
  CurveWorkspace curve = loadCurve({0.0, 1.0, 0.0}, {0.0, 1.0, 2.0});
  test::expectArithmeticFault(
      [&] { fitCurve(3, curve.knot, curve.coef, givenSlopeEnd, notAKnotEnd); },
      "unguarded pivot");
}

TEST(FitCurve, SpacingCancellingItsGuardIsAnArithmeticFault) {
  // 0 - 1e-6 is exactly -1e-6, so the spacing plus its guard is exactly 0.
  CurveWorkspace curve = loadCurve({1e-6, 0.0}, {0.0, 1.0});
  test::expectArithmeticFault(
      [&] { fitCurve(2, curve.knot, curve.coef, notAKnotEnd, notAKnotEnd); },
      "the spline fit (difference quotient): division by zero");
}

TEST(FitCurve, SpacingCancellingTheSmallerGuardIsAnArithmeticFault) {
  CurveWorkspace curve = loadCurve({1e-7, 0.0}, {0.0, 1.0});
  test::expectArithmeticFault(
      [&] { fitCurve(2, curve.knot, curve.coef, notAKnotEnd, notAKnotEnd); },
      "the spline fit (piece derivatives): division by zero");
}

TEST(FitCurve, OverflowingDifferenceIsAnArithmeticFault) {
  CurveWorkspace curve = loadCurve({0.0, 1.0, 2.0}, {-1e308, 1e308, 0.0});
  test::expectArithmeticFault(
      [&] { fitCurve(3, curve.knot, curve.coef, notAKnotEnd, notAKnotEnd); },
      "the spline fit (difference quotient): the result overflows");
}

TEST(FitCurve, OverflowingProductIsAnArithmeticFault) {
  // Every quotient stays finite; the third derivative, a product of two, does not.
  CurveWorkspace curve = loadCurve({0.0, 1e-3}, {0.0, 1e302});
  test::expectArithmeticFault(
      [&] { fitCurve(2, curve.knot, curve.coef, notAKnotEnd, notAKnotEnd); },
      "the spline fit (result)");
}

}  // namespace
}  // namespace propclear
