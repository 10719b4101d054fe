#include "geometry/minimum_near_guess.h"

#include <gtest/gtest.h>

#include <cmath>

namespace propclear {
namespace {

// f = cosh(x - 0.3) + x^4 / 10, minimum where sinh(x - 0.3) + 0.4 x^3 = 0
// (near 0.2286), its slope with and without its rate.
SlopeSample slopeWithRate(double x) {
  return {std::sinh(x - 0.3) + 0.4 * x * x * x, std::cosh(x - 0.3) + 1.2 * x * x};
}
SlopeSample slopeOnly(double x) { return {slopeWithRate(x).slope}; }

double bisectedMinimum() {
  double a = 0.0, b = 1.0;
  for (int k = 0; k < 200; ++k) {
    const double m = 0.5 * (a + b);
    if (m == a || m == b) break;
    (slopeWithRate(m).slope < 0.0 ? a : b) = m;
  }
  return a;
}

// A guess a few hundredths off: two or three slopes with the rate, a few
// more without, and the interval's ends never taken.
TEST(MinimumNearGuess, AGuessNearTheMinimumSparesTheEnds) {
  const double expected = bisectedMinimum();
  const std::optional<Parabola> guess = parabolaThrough(0.0, 1.04534, 0.25, 1.00164, 0.5, 1.02632);
  ASSERT_TRUE(guess);
  EXPECT_NEAR(guess->vertex, expected, 0.03);
  for (const bool withRate : {true, false}) {
    int taken = 0;
    bool endTaken = false;
    const auto slope = [&](double x) {
      ++taken;
      endTaken = endTaken || x == -1.0 || x == 2.0;
      return withRate ? slopeWithRate(x) : slopeOnly(x);
    };
    const SlopeSearch search = minimumNearGuess(slope, -1.0, 2.0, guess, 1e-9);
    ASSERT_TRUE(search.zero) << withRate;
    EXPECT_NEAR(*search.zero, expected, 2e-9) << withRate;
    EXPECT_LE(taken, withRate ? 3 : 7) << withRate;
    EXPECT_FALSE(endTaken) << withRate;
  }
}

// A function still falling at the interval's end has no zero there: the
// search says so, with the end as the bracket's falling point, taken once.
TEST(MinimumNearGuess, AMinimumBeyondTheEndIsLeftToTheCaller) {
  int takenAtEnd = 0;
  const auto slope = [&](double x) {
    if (x == 0.1) ++takenAtEnd;
    return slopeWithRate(x);
  };
  const SlopeSearch search = minimumNearGuess(slope, -1.0, 0.1, Parabola{0.3, 2.0}, 1e-9);
  EXPECT_FALSE(search.zero);
  EXPECT_EQ(search.bracket.low, 0.1);
  EXPECT_LT(search.bracket.atLow.slope, 0.0);
  EXPECT_EQ(takenAtEnd, 1);
  // Without a guess, from the ends alone: the same.
  EXPECT_FALSE(minimumNearGuess(slopeWithRate, -1.0, 0.1, std::nullopt, 1e-9).zero);
}

}  // namespace
}  // namespace propclear
