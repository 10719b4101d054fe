#include "geometry/minimise_on_interval.h"

#include <gtest/gtest.h>

#include <cmath>

namespace propclear {
namespace {

TEST(MinimiseOnInterval, SmoothKinkedAndEndMinima) {
  int evaluations = 0;
  const auto parabola = [&](double x) { return ++evaluations, (x - 0.3) * (x - 0.3) + 2.0; };
  const IntervalMinimum smooth = minimiseOnInterval(parabola, 0.0, 1.0, 1e-8);
  EXPECT_NEAR(smooth.at, 0.3, 1e-7);
  EXPECT_DOUBLE_EQ(smooth.value, parabola(smooth.at));
  // A parabola is found by the parabolic steps, not by golden section alone.
  EXPECT_LT(evaluations, 12);

  const IntervalMinimum kink =
      minimiseOnInterval([](double x) { return std::abs(x - 0.7); }, 0.0, 1.0, 1e-8);
  EXPECT_NEAR(kink.at, 0.7, 1e-7);

  // Rising throughout: the minimum lies at the left end, approached to within the tolerance.
  const IntervalMinimum end = minimiseOnInterval([](double x) { return x; }, 2.0, 3.0, 1e-6);
  EXPECT_GE(end.at, 2.0);
  EXPECT_LT(end.at, 2.0 + 3e-6);

  // An interval of no width evaluates its one point.
  const IntervalMinimum point = minimiseOnInterval([](double x) { return x * x; }, 1.5, 1.5, 1e-6);
  EXPECT_EQ(point.at, 1.5);
  EXPECT_EQ(point.value, 2.25);
}

}  // namespace
}  // namespace propclear
