#include "common/double_lanes.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <random>
#include <type_traits>

namespace propclear {
namespace {

constexpr std::size_t width = 8;

// Doubles of every scale, with zeros, subnormals and values that overflow
// when multiplied.
std::array<double, width> randomLanes(std::mt19937_64& random) {
  std::uniform_int_distribution<int> exponent(-1074, 1023);
  std::uniform_real_distribution<double> mantissa(-2.0, 2.0);
  std::array<double, width> lanes{};
  for (double& lane : lanes) {
    const int kind = static_cast<int>(random() % 8);
    lane = kind == 0 ? 0.0 : std::ldexp(mantissa(random), kind < 4 ? exponent(random) % 40 : exponent(random));
  }
  return lanes;
}

// The sequence of the shared-knot fit and the sample scan on both paths: each
// lane's bits agree.
template <class Lanes>
std::array<double, width * 3> workedThrough(const std::array<double, width>& a,
                                            const std::array<double, width>& b, double scalar) {
  constexpr auto elementAligned = [] {
    if constexpr (std::is_same_v<Lanes, ArrayLanes<width>>) return ElementAligned{};
    else return propclear::elementAligned;
  }();
  std::array<double, width * 3> out{};
  const Lanes x(a.data(), elementAligned), y(b.data(), elementAligned);
  Lanes sum = 0.0;
  sum += (x - y) / (scalar + 1e-7);
  const Lanes mixed = 2.0 * x * y + scalar * (x - 3.0 * y) / y;
  sum += mixed;
  sum.copy_to(out.data(), elementAligned);
  mixed.copy_to(out.data() + width, elementAligned);
  const Lanes squares = lanewiseMin(x * x + y * y, y * y);
  squares.copy_to(out.data() + 2 * width, elementAligned);
  out[2 * width] = smallestLane(squares);
  out[2 * width + 1] = allFinite(sum) ? 1.0 : 0.0;
  return out;
}

#if !PROPCLEAR_PORTABLE_LANES
TEST(DoubleLanes, ArraysGiveTheBitsOfTheStandardLibrarysVectors) {
  std::mt19937_64 random(20261207);
  for (int round = 0; round < 20000; ++round) {
    const auto a = randomLanes(random), b = randomLanes(random);
    const double scalar = randomLanes(random)[0];
    const auto onArrays = workedThrough<ArrayLanes<width>>(a, b, scalar);
    const auto onSimd = workedThrough<FixedLanes<width>>(a, b, scalar);
    for (std::size_t k = 0; k < onArrays.size(); ++k) {
      ASSERT_EQ(std::bit_cast<std::uint64_t>(onArrays[k]), std::bit_cast<std::uint64_t>(onSimd[k]))
          << "round " << round << ", value " << k;
    }
  }
}
#endif

TEST(DoubleLanes, ArraysReduceAndCheckEveryLane) {
  ArrayLanes<4> lanes([](std::size_t k) { return 4.0 - static_cast<double>(k); });
  EXPECT_EQ(smallestLane(lanes), 1.0);
  EXPECT_TRUE(allFinite(lanes));
  EXPECT_FALSE(allFinite(lanes / ArrayLanes<4>([](std::size_t k) { return k == 3 ? 0.0 : 1.0; })));
  EXPECT_EQ(lanewiseMin(lanes, ArrayLanes<4>(2.5))[0], 2.5);
  EXPECT_EQ(lanewiseMin(lanes, ArrayLanes<4>(2.5))[3], 1.0);
}

}  // namespace
}  // namespace propclear
