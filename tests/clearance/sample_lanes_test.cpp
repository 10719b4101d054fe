#include "clearance/sample_lanes.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace propclear {
namespace {

constexpr std::size_t capacity = 24;
constexpr double infinity = std::numeric_limits<double>::infinity();

std::uint64_t bits(double value) { return std::bit_cast<std::uint64_t>(value); }

// Both lane counts give the squared distances and the smallest of each edge
// that a plain loop gives, bit for bit.
TEST(SampleLanes, SquaredDistancesAreThoseOfAPlainLoop) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> coordinate(-3.0, 3.0);
  for (int trial = 0; trial < 200; ++trial) {
    std::array<double, capacity> radius{}, x1{}, x2{};
    for (std::size_t j = 0; j < capacity; ++j) {
      radius[j] = coordinate(random), x1[j] = coordinate(random), x2[j] = coordinate(random);
    }
    const double x = coordinate(random), r = coordinate(random);
    std::array<double, capacity> expected1{}, expected2{};
    double smallest1 = infinity, smallest2 = infinity;
    for (std::size_t j = 0; j < capacity; ++j) {
      const double radial = (radius[j] - r) * (radius[j] - r);
      expected1[j] = (x1[j] - x) * (x1[j] - x) + radial;
      expected2[j] = (x2[j] - x) * (x2[j] - x) + radial;
      smallest1 = std::min(smallest1, expected1[j]);
      smallest2 = std::min(smallest2, expected2[j]);
    }
    const SampleRows rows{radius.data(), x1.data(), x2.data()};
    std::array<double, capacity> to1{}, to2{};
    const auto check = [&](std::array<double, 2> smallest, const char* lanes) {
      EXPECT_EQ(bits(smallest[0]), bits(smallest1)) << lanes;
      EXPECT_EQ(bits(smallest[1]), bits(smallest2)) << lanes;
      for (std::size_t j = 0; j < capacity; ++j) {
        ASSERT_EQ(bits(to1[j]), bits(expected1[j])) << lanes << " sample " << j;
        ASSERT_EQ(bits(to2[j]), bits(expected2[j])) << lanes << " sample " << j;
      }
    };
    check(detail::squaredDistancesInLanes<2>(rows, capacity, x, r, to1.data(), to2.data()), "2");
    to1.fill(0.0), to2.fill(0.0);
    check(detail::squaredDistancesInLanes<4>(rows, capacity, x, r, to1.data(), to2.data()), "4");
  }
}

// The local minima within the threshold: ties count as minima, a NaN is
// never passed over, the first and the last sample have one neighbour each,
// and nothing beyond n is taken.
TEST(SampleLanes, LocalMinimaOneByOne) {
  // Samples 0 to 8 between two places that hold infinity.
  const double values[] = {infinity, 1.0, 2.0, 2.0, 3.0, NAN, 5.0, 0.5, 0.5, 9.0, infinity};
  EXPECT_EQ(detail::localMinimaOneByOne(values, 9, 2.5), 0b011010101u);
  EXPECT_EQ(detail::localMinimaOneByOne(values, 9, 0.7), 0b011010000u);  // NaN is not above
  EXPECT_EQ(detail::localMinimaOneByOne(values, 6, 2.5), 0b010101u);
}

// Both lane counts find the minima one by one does, over many ties.
TEST(SampleLanes, LocalMinimaInLanesAreThoseOneByOne) {
  std::mt19937_64 random(13);
  std::uniform_int_distribution<int> level(0, 5);  // few levels: many ties
  for (int trial = 0; trial < 500; ++trial) {
    const std::size_t n = 1 + static_cast<std::size_t>(trial % static_cast<int>(capacity));
    const std::size_t count =
        (n + sampleLaneMultiple - 1) / sampleLaneMultiple * sampleLaneMultiple;
    std::array<double, capacity + 2> values{};
    values.fill(infinity);
    for (std::size_t j = 0; j < n; ++j) {
      values[j + 1] = trial % 7 == 0 && j == n / 2 ? NAN : static_cast<double>(level(random));
    }
    for (std::size_t j = n; j < count; ++j) values[j + 1] = values[n];
    const double threshold = 2.5;
    const std::uint32_t expected = detail::localMinimaOneByOne(values.data(), n, threshold);
    EXPECT_EQ(detail::localMinimaInLanes<2>(values.data(), count, n, threshold), expected) << n;
    EXPECT_EQ(detail::localMinimaInLanes<4>(values.data(), count, n, threshold), expected) << n;
  }
}

}  // namespace
}  // namespace propclear
