#include "geometry/minimum_from_slope.h"

#include <gtest/gtest.h>

#include <cmath>

namespace propclear {
namespace {

// f = cosh(x - 0.3) + x^4 / 10 has its one minimum where
// sinh(x - 0.3) + 0.4 x^3 = 0, found here by bisection to the last bit.
double coshMinimum() {
  double a = 0.0, b = 1.0;
  for (int k = 0; k < 200 && a < b; ++k) {
    const double m = 0.5 * (a + b);
    if (m == a || m == b) break;
    (std::sinh(m - 0.3) + 0.4 * m * m * m < 0.0 ? a : b) = m;
  }
  return a;
}

TEST(MinimumFromSlope, NewtonAndSecantReachTheZeroOfTheSlope) {
  const double expected = coshMinimum();
  int newtonSteps = 0, secantSteps = 0;
  const auto withRate = [&](double x) {
    ++newtonSteps;
    return SlopeSample{std::sinh(x - 0.3) + 0.4 * x * x * x, std::cosh(x - 0.3) + 1.2 * x * x};
  };
  const auto slopeOnly = [&](double x) {
    ++secantSteps;
    return SlopeSample{std::sinh(x - 0.3) + 0.4 * x * x * x};
  };
  const double ga = withRate(-1.0).slope, gb = withRate(2.0).slope;
  newtonSteps = 0;
  EXPECT_NEAR(minimumFromSlope(withRate, -1.0, 2.0, ga, gb, 1e-9), expected, 2e-9);
  EXPECT_NEAR(minimumFromSlope(slopeOnly, -1.0, 2.0, ga, gb, 1e-9), expected, 2e-9);
  // Faster than the 32 halvings bisection needs from a width of 3 to 1e-9.
  EXPECT_LT(newtonSteps, 12);
  EXPECT_LT(secantSteps, 16);
}

// Started at the end of a bracket that lies next to the zero, Newton's steps
// reach it from there in a few evaluations, from either end.
TEST(MinimumFromSlope, StartedAtABracketEndNextToTheZero) {
  const double expected = coshMinimum();
  int steps = 0;
  const auto withRate = [&](double x) {
    ++steps;
    return SlopeSample{std::sinh(x - 0.3) + 0.4 * x * x * x, std::cosh(x - 0.3) + 1.2 * x * x};
  };
  const double nearBelow = expected - 1e-3, nearAbove = expected + 1e-3;
  const SlopeSample far = withRate(-1.0), below = withRate(nearBelow);
  const SlopeSample farAbove = withRate(2.0), above = withRate(nearAbove);
  steps = 0;
  EXPECT_NEAR(minimumFromSlopeAtEnd(withRate, -1.0, nearAbove, far, above, true, 1e-9), expected,
              2e-9);
  EXPECT_LE(steps, 3);
  steps = 0;
  EXPECT_NEAR(minimumFromSlopeAtEnd(withRate, nearBelow, 2.0, below, farAbove, false, 1e-9),
              expected, 2e-9);
  EXPECT_LE(steps, 3);
}

TEST(MinimumFromSlope, AJumpInTheSlopeFallsBackToBisection) {
  // The slope of |x - 0.7| + 0.01 x: a corner whose minimum is the corner itself.
  const auto corner = [](double x) { return SlopeSample{(x < 0.7 ? -1.0 : 1.0) + 0.01}; };
  EXPECT_NEAR(minimumFromSlope(corner, 0.0, 1.0, -0.99, 1.01, 1e-8), 0.7, 2e-8);
  // A slope that is flat but for its sign: the chord's first point is far off.
  const auto steep = [](double x) { return SlopeSample{std::tanh(1e4 * (x - 0.123))}; };
  EXPECT_NEAR(minimumFromSlope(steep, 0.0, 1.0, -1.0, 1.0, 1e-10), 0.123, 1e-9);
}

}  // namespace
}  // namespace propclear
