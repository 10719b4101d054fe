#pragma once
// The passes of the swept volume's scan over its edge samples
// (clearance/swept_volume.h), several samples at once in the lanes of a
// vector register: the squared distances from a point to both edges'
// samples, and the local minima among them within a threshold.
//
// Each pass is written once for any number of lanes; its caller compiles it
// twice, for four lanes where the processor has AVX2 and for two elsewhere,
// and runs the one the processor can. Every lane's arithmetic is the same
// either way, so are the results.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace propclear {

// Counts of samples handed to the passes are a multiple of this.
inline constexpr std::size_t sampleLaneMultiple = 4;

// The samples of both edges, at the same radii.
struct SampleRows {
  const double* radius;
  const double* edge1X;
  const double* edge2X;
};

namespace detail {

// Vectors of doubles and of 64-bit masks, two or four lanes wide.
template <std::size_t Lanes>
struct LaneTypes;
template <>
struct LaneTypes<2> {
  typedef double Vector __attribute__((vector_size(16)));
  typedef std::int64_t Bits __attribute__((vector_size(16)));
};
template <>
struct LaneTypes<4> {
  typedef double Vector __attribute__((vector_size(32)));
  typedef std::int64_t Bits __attribute__((vector_size(32)));
};

// The squared distances from (x, r) to the first `count` samples of either
// edge (a multiple of sampleLaneMultiple), written to toEdge1 and toEdge2,
// and the smallest of each.
template <std::size_t Lanes>
[[gnu::always_inline]] inline std::array<double, 2> squaredDistancesInLanes(
    SampleRows rows, std::size_t count, double x, double r, double* toEdge1, double* toEdge2) {
  using Vector = typename LaneTypes<Lanes>::Vector;
  // Vectors pass through memory only, so no vector crosses a call; the rows
  // are taken by value, so the stores cannot move them.
  Vector closest1 = Vector{} + __builtin_inf(), closest2 = closest1;
  for (std::size_t j = 0; j < count; j += Lanes) {
    Vector radius, x1, x2;
    std::memcpy(&radius, rows.radius + j, sizeof radius);
    std::memcpy(&x1, rows.edge1X + j, sizeof x1);
    std::memcpy(&x2, rows.edge2X + j, sizeof x2);
    const Vector dr = radius - r, dx1 = x1 - x, dx2 = x2 - x;
    const Vector radial = dr * dr;
    const Vector to1 = dx1 * dx1 + radial, to2 = dx2 * dx2 + radial;
    std::memcpy(toEdge1 + j, &to1, sizeof to1);
    std::memcpy(toEdge2 + j, &to2, sizeof to2);
    closest1 = to1 < closest1 ? to1 : closest1;
    closest2 = to2 < closest2 ? to2 : closest2;
  }
  // The lanes folded pairwise: edge 1's smallest in the even lanes, edge
  // 2's in the odd ones.
  using Bits = typename LaneTypes<Lanes>::Bits;
  Vector smallest;
  if constexpr (Lanes == 2) {
    const Vector firsts = __builtin_shuffle(closest1, closest2, Bits{0, 2});
    const Vector seconds = __builtin_shuffle(closest1, closest2, Bits{1, 3});
    smallest = seconds < firsts ? seconds : firsts;
  } else {
    const Vector evens = __builtin_shuffle(closest1, closest2, Bits{0, 4, 2, 6});
    const Vector odds = __builtin_shuffle(closest1, closest2, Bits{1, 5, 3, 7});
    const Vector pairs = odds < evens ? odds : evens;
    const Vector swapped = __builtin_shuffle(pairs, Bits{2, 3, 0, 1});
    smallest = swapped < pairs ? swapped : pairs;
  }
  return {smallest[0], smallest[1]};
}

// Bit j set for each of the first n samples (n <= 32) whose squared distance
// is at most `threshold` and no larger than either neighbour's; `values`
// holds sample j at place j + 1, `count` (a multiple of sampleLaneMultiple,
// at least n) places after the first, and one more: places beyond the last
// sample repeat its value, and the first and the last place hold infinity.
// The tests are those of a loop over the samples, NaN included.
template <std::size_t Lanes>
[[gnu::always_inline]] inline std::uint32_t localMinimaInLanes(const double* values,
                                                               std::size_t count, std::size_t n,
                                                               double threshold) {
  using Vector = typename LaneTypes<Lanes>::Vector;
  using Bits = typename LaneTypes<Lanes>::Bits;
  Bits index{}, found{};
  for (std::size_t k = 0; k < Lanes; ++k) index[k] = static_cast<std::int64_t>(k);
  const std::int64_t limit = static_cast<std::int64_t>(n);
  for (std::size_t j = 0; j < count; j += Lanes) {
    Vector before, value, after;
    std::memcpy(&before, values + j, sizeof before);
    std::memcpy(&value, values + j + 1, sizeof value);
    std::memcpy(&after, values + j + 2, sizeof after);
    const Bits take = ~(value > threshold) & ~(before < value) & ~(after < value) & (index < limit);
    found |= take & (Bits{} + 1) << index;
    index += static_cast<std::int64_t>(Lanes);
  }
  std::int64_t all = 0;
  for (std::size_t k = 0; k < Lanes; ++k) all |= found[k];
  return static_cast<std::uint32_t>(all);
}

// The same, one sample at a time: with only two lanes the vector version
// takes more instructions than this loop's branches.
inline std::uint32_t localMinimaOneByOne(const double* values, std::size_t n, double threshold) {
  std::uint32_t found = 0;
  for (std::size_t j = 0; j < n; ++j) {
    const double value = values[j + 1];
    if (value > threshold) continue;
    if (j > 0 && values[j] < value) continue;
    if (j + 1 < n && values[j + 2] < value) continue;
    found |= std::uint32_t{1} << j;
  }
  return found;
}

}  // namespace detail

}  // namespace propclear
