#include "geometry/fit_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <vector>

#include "curve_builders.h"
#include "geometry/evaluate_curve.h"

namespace propclear {
namespace {

using test::fittedCurve;
using test::loadCurve;
using test::valueAt;

// Worked values printed to six decimals, compared on their last digit.
constexpr double kPrintedDigits = 1e-6;
// The guard terms pull a reproduced polynomial off by about this much.
constexpr double kGuardEffect = 1e-4;

double cubic(double t) { return 1.0 + 2.0 * t - 0.5 * t * t + 0.25 * t * t * t; }
double cubicSlope(double t) { return 2.0 - t + 0.75 * t * t; }
double cubicCurvature(double t) { return -1.0 + 1.5 * t; }

TEST(FitCurve, NotAKnotReproducesACubic) {
  const SplineCurve curve =
      fittedCurve({0.0, 1.0, 2.5, 3.0, 4.5, 6.0},
                  {cubic(0.0), cubic(1.0), cubic(2.5), cubic(3.0), cubic(4.5), cubic(6.0)});
  EXPECT_NEAR(valueAt(curve, 0.5), 1.906249, kPrintedDigits);
  EXPECT_NEAR(valueAt(curve, 5.9), 46.739753, kPrintedDigits);
  for (double t = 0.0; t <= 6.0; t += 0.25) {
    EXPECT_NEAR(valueAt(curve, t), cubic(t), kGuardEffect) << t;
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
  const SplineCurve curve =
      fittedCurve({0.0, 1.0, 2.5, 3.0, 4.5, 6.0},
                  {cubic(0.0), cubic(1.0), cubic(2.5), cubic(3.0), cubic(4.5), cubic(6.0)});
  for (int row = 2; row <= 4; ++row) {
    for (int i = 1; i <= 6; ++i) {
      EXPECT_DOUBLE_EQ(curve.coef(row)[i], kCubicCoefficients[row - 2][i - 1]) << row << i;
    }
  }
}

TEST(FitCurve, ThreeKnotsGiveTheParabola) {
  const SplineCurve curve = fittedCurve({0.0, 1.0, 3.0}, {0.0, 1.0, 9.0});
  EXPECT_NEAR(valueAt(curve, 0.5), 0.25, kPrintedDigits);
  EXPECT_NEAR(valueAt(curve, 2.0), 4.0000004, 1e-7);
  EXPECT_NEAR(curve.coef(3)[1], 2.0, kGuardEffect);
  EXPECT_NEAR(curve.coef(4)[1], 0.0, kGuardEffect);
  EXPECT_NEAR(curve.coef(2)[1], 0.0, kGuardEffect);
}

TEST(FitCurve, FitLeavesKnotsAndValuesAlone) {
  SplineCurve curve = loadCurve({0.0, 1.0, 3.0}, {0.0, 1.0, 9.0});
  const SplineCurve before = curve;
  fitCurve(curve, EndCondition::NotAKnot, EndCondition::NotAKnot);
  for (int i = 0; i <= 3; ++i) {
    EXPECT_EQ(curve.knot(i), before.knot(i)) << i;
    EXPECT_EQ(curve.value(i), before.value(i)) << i;
  }
  for (int row = 1; row <= 4; ++row) EXPECT_EQ(curve.coef(row)[0], 0.0) << row;
}

class TwoKnotLine : public ::testing::TestWithParam<double> {};

TEST_P(TwoKnotLine, IsStraightUpToTheGuardResidues) {
  const double rise = GetParam();
  const SplineCurve curve = fittedCurve({0.0, 1.0}, {0.0, rise});
  EXPECT_DOUBLE_EQ(curve.coef(2)[1], rise / ((1.0 + 1e-6) * (1.0 + 1e-7)));
  const double residueTolerance = 1e-9 * std::abs(rise);
  EXPECT_NEAR(curve.coef(3)[1], 5.8e-6 * rise, residueTolerance);
  EXPECT_NEAR(curve.coef(4)[1], -1.14e-5 * rise, residueTolerance);
}

INSTANTIATE_TEST_SUITE_P(Rises, TwoKnotLine, ::testing::Values(1.0, -3.5, 250.0));

constexpr EndCondition kAllEnds[] = {EndCondition::NotAKnot, EndCondition::GivenSlope,
                                     EndCondition::GivenCurvature};

TEST(FitCurve, OneKnotHasNothingToFit) {
  SplineCurve curve = loadCurve({2.0}, {3.0});
  for (int row = 2; row <= 4; ++row) curve.coef(row)[1] = 7.0;
  for (const EndCondition leftEnd : kAllEnds) {
    for (const EndCondition rightEnd : kAllEnds) {
      fitCurve(curve, leftEnd, rightEnd);
      for (int row = 1; row <= 4; ++row) EXPECT_EQ(curve.coef(row)[1], row == 1 ? 3.0 : 7.0);
    }
  }
  SplineCurve none;
  fitCurve(none, EndCondition::NotAKnot, EndCondition::NotAKnot);
  EXPECT_EQ(none.knotCount(), 0);
}

TEST(FitCurve, FullStoreIsFitted) {
  SplineCurve curve(maxKnots);
  for (int i = 1; i <= maxKnots; ++i) {
    curve.knots()[i] = i;
    curve.coef(1)[i] = 2.0 * i;
  }
  fitCurve(curve, EndCondition::NotAKnot, EndCondition::NotAKnot);
  EXPECT_NEAR(valueAt(curve, 999.5), 1999.0, kGuardEffect);
}

// End conditions: each combination reproduces the cubic when the prescribed
// slope or second derivative is the cubic's own.
struct EndConditions {
  EndCondition leftEnd;
  EndCondition rightEnd;
  std::vector<double> knots;
};

// Test listings name the end codes and the knot count, not the record's bytes.
void PrintTo(const EndConditions& ends, std::ostream* out) {
  *out << "ends " << static_cast<int>(ends.leftEnd) << "," << static_cast<int>(ends.rightEnd)
       << ", " << ends.knots.size() << " knots";
}

double prescribed(EndCondition end, double t) {
  return end == EndCondition::GivenSlope ? cubicSlope(t) : cubicCurvature(t);
}

constexpr EndCondition N = EndCondition::NotAKnot;
constexpr EndCondition S = EndCondition::GivenSlope;
constexpr EndCondition C = EndCondition::GivenCurvature;

class EndConditionBranch : public ::testing::TestWithParam<EndConditions> {};

TEST_P(EndConditionBranch, ReproducesTheCubic) {
  const EndConditions& ends = GetParam();
  SplineCurve curve(static_cast<int>(ends.knots.size()));
  int n = 0;
  for (const double t : ends.knots) {
    ++n;
    curve.knots()[n] = t;
    curve.coef(1)[n] = cubic(t);
  }
  const double first = curve.knots()[1];
  const double last = curve.knots()[n];
  if (ends.leftEnd != EndCondition::NotAKnot) curve.coef(2)[1] = prescribed(ends.leftEnd, first);
  if (ends.rightEnd != EndCondition::NotAKnot) curve.coef(2)[n] = prescribed(ends.rightEnd, last);
  fitCurve(curve, ends.leftEnd, ends.rightEnd);
  for (double t = first; t <= last; t += (last - first) / 16.0) {
    EXPECT_NEAR(valueAt(curve, t), cubic(t), kGuardEffect) << t;
  }
  for (int i = 1; i <= n - 1; ++i) {
    EXPECT_NEAR(curve.coef(2)[i], cubicSlope(curve.knots()[i]), 10 * kGuardEffect) << i;
  }
}

// Every coefficient is linear in the values and the given ends, so scaling
// them by a power of two scales the fit exactly, up to the largest scale that
// leaves every coefficient finite. Near it, sums of the coefficients
// overflow though none does: the fit's deferred checks must then give the
// same coefficients.
TEST_P(EndConditionBranch, ScalesExactlyUpToTheLargestFiniteFit) {
  const EndConditions& ends = GetParam();
  const int n = static_cast<int>(ends.knots.size());
  const auto fitted = [&](double scale) {
    SplineCurve curve(n);
    for (int i = 1; i <= n; ++i) {
      curve.knots()[i] = ends.knots[static_cast<std::size_t>(i - 1)];
      curve.coef(1)[i] = scale * cubic(curve.knots()[i]);
    }
    if (ends.leftEnd != N) curve.coef(2)[1] = scale * prescribed(ends.leftEnd, curve.knots()[1]);
    if (ends.rightEnd != N) curve.coef(2)[n] = scale * prescribed(ends.rightEnd, curve.knots()[n]);
    fitCurve(curve, ends.leftEnd, ends.rightEnd);
    return curve;
  };
  const SplineCurve unscaled = fitted(1.0);
  int largestFinite = 0;
  for (int exponent = 960; exponent <= 1023; ++exponent) {
    const double scale = std::ldexp(1.0, exponent);
    SplineCurve scaled;
    try {
      scaled = fitted(scale);
    } catch (const RunError&) {
      break;
    }
    largestFinite = exponent;
    // At the last knot rows 3 and 4 keep the knots' own terms.
    for (int row = 2; row <= 4; ++row) {
      for (int i = 1; i <= (row == 2 ? n : n - 1); ++i) {
        ASSERT_EQ(scaled.coef(row)[i], scale * unscaled.coef(row)[i])
            << "2^" << exponent << ", row " << row << ", knot " << i;
      }
    }
  }
  EXPECT_GT(largestFinite, 1000);
}

INSTANTIATE_TEST_SUITE_P(
    AllCodes, EndConditionBranch,
    ::testing::Values(EndConditions{N, S, {0.0, 1.0, 2.5, 3.0, 4.5, 6.0}},
                      EndConditions{N, C, {0.0, 1.0, 2.5, 3.0, 4.5, 6.0}},
                      EndConditions{S, N, {0.0, 1.0, 2.5, 3.0, 4.5, 6.0}},
                      EndConditions{S, S, {0.0, 1.0, 2.5, 3.0, 4.5, 6.0}},
                      EndConditions{S, C, {0.0, 1.0, 2.5, 3.0, 4.5, 6.0}},
                      EndConditions{C, N, {0.0, 1.0, 2.5, 3.0, 4.5, 6.0}},
                      EndConditions{C, S, {0.0, 1.0, 2.5, 3.0, 4.5, 6.0}},
                      EndConditions{C, C, {0.0, 1.0, 2.5, 3.0, 4.5, 6.0}},
                      // Three knots: the last row is built after one elimination step.
                      EndConditions{S, N, {0.0, 1.0, 3.0}}, EndConditions{C, N, {0.0, 1.0, 3.0}},
                      EndConditions{N, S, {0.0, 1.0, 3.0}},
                      // Two knots: no elimination at all.
                      EndConditions{S, S, {0.0, 2.0}}, EndConditions{S, C, {0.0, 2.0}},
                      EndConditions{C, S, {0.0, 2.0}}, EndConditions{C, C, {0.0, 2.0}}));

TEST(FitCurve, TwoKnotsWithOneGivenEndGiveAParabola) {
  // t^2 through t = 0 and t = 2 with slope 0 given at the left end.
  SplineCurve curve = loadCurve({0.0, 2.0}, {0.0, 4.0});
  curve.coef(2)[1] = 0.0;
  fitCurve(curve, EndCondition::GivenSlope, EndCondition::NotAKnot);
  EXPECT_NEAR(valueAt(curve, 1.0), 1.0, kGuardEffect);
  EXPECT_NEAR(curve.coef(3)[1], 2.0, kGuardEffect);
  EXPECT_NEAR(curve.coef(4)[1], 0.0, kGuardEffect);
}

TEST(FitCurve, ZeroUnguardedPivotIsAnArithmeticFault) {
  // Spacings 0, 1, -1 cancel the last pivot of the elimination exactly.
  SplineCurve curve = loadCurve({0.0, 0.0, 1.0, 0.0}, {0.0, 1.0, 2.0, 3.0});
  test::expectArithmeticFault(
      [&] { fitCurve(curve, EndCondition::NotAKnot, EndCondition::NotAKnot); },
      "the spline fit (last equation, unguarded pivot)");
}

TEST(FitCurve, ZeroUnguardedPivotWithAGivenSlopeIsAnArithmeticFault) {
  SplineCurve curve = loadCurve({0.0, 1.0, 0.0}, {0.0, 1.0, 2.0});
  test::expectArithmeticFault(
      [&] { fitCurve(curve, EndCondition::GivenSlope, EndCondition::NotAKnot); },
      "unguarded pivot");
}

TEST(FitCurve, SpacingCancellingItsGuardIsAnArithmeticFault) {
  // 0 - 1e-6 is exactly -1e-6, so the spacing plus its guard is exactly 0.
  SplineCurve curve = loadCurve({1e-6, 0.0}, {0.0, 1.0});
  test::expectArithmeticFault(
      [&] { fitCurve(curve, EndCondition::NotAKnot, EndCondition::NotAKnot); },
      "the spline fit (difference quotient): division by zero");
}

TEST(FitCurve, SpacingCancellingTheSmallerGuardIsAnArithmeticFault) {
  SplineCurve curve = loadCurve({1e-7, 0.0}, {0.0, 1.0});
  test::expectArithmeticFault(
      [&] { fitCurve(curve, EndCondition::NotAKnot, EndCondition::NotAKnot); },
      "the spline fit (piece derivatives): division by zero");
}

TEST(FitCurve, OverflowingDifferenceIsAnArithmeticFault) {
  SplineCurve curve = loadCurve({0.0, 1.0, 2.0}, {-1e308, 1e308, 0.0});
  test::expectArithmeticFault(
      [&] { fitCurve(curve, EndCondition::NotAKnot, EndCondition::NotAKnot); },
      "the spline fit (difference quotient): the result overflows");
}

TEST(FitCurve, OverflowingProductIsAnArithmeticFault) {
  // Every quotient stays finite; the third derivative, a product of two, does not.
  SplineCurve curve = loadCurve({0.0, 1e-3}, {0.0, 1e302});
  test::expectArithmeticFault(
      [&] { fitCurve(curve, EndCondition::NotAKnot, EndCondition::NotAKnot); },
      "the spline fit (result)");
}

}  // namespace
}  // namespace propclear
