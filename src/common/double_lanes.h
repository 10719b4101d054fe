#pragma once
// Lanes of doubles for the loops that run one sequence of operations over
// several curves or samples at once. Two paths, chosen when the program is
// configured (PROPCLEAR_PORTABLE_LANES, set by CMake):
//
// - the standard library's std::experimental::simd, where it is complete
//   (libstdc++);
// - plain arrays worked lane by lane, for a standard library without it (the
//   WebAssembly build's libc++).
//
// Either way every lane goes through the same IEEE operations in the same
// order, and a lane never feeds another except through smallestLane and
// allFinite, whose results do not depend on the order: the results are the
// same bits on both paths. Fused multiply-add would change that, so the build
// compiles with -ffp-contract=off everywhere, and a build with value-changing
// optimisations is refused here.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <type_traits>

#if defined(__FAST_MATH__)
#error "the lanes' results must equal the scalar operations': build without -ffast-math"
#endif

#if !defined(PROPCLEAR_PORTABLE_LANES)
#error "PROPCLEAR_PORTABLE_LANES must be set by the build (0: std::experimental::simd, 1: arrays)"
#endif

#if !PROPCLEAR_PORTABLE_LANES
#include <experimental/simd>
#endif

namespace propclear {

// The tag of a load or store of whole lanes from or to plain doubles.
struct ElementAligned {};

// The portable path: N doubles, each operation applied lane by lane, with the
// part of std::experimental::simd's interface that the loops use.
template <std::size_t N>
class ArrayLanes {
 public:
  static constexpr std::size_t size() { return N; }

  ArrayLanes() = default;
  ArrayLanes(double value) { lanes_.fill(value); }  // broadcast, implicit as simd's
  template <class Generator>
    requires std::is_invocable_r_v<double, Generator, std::size_t>
  explicit ArrayLanes(Generator&& valueOf) {
    for (std::size_t k = 0; k < N; ++k) lanes_[k] = valueOf(k);
  }
  ArrayLanes(const double* first, ElementAligned) { std::copy(first, first + N, lanes_.begin()); }
  void copy_to(double* first, ElementAligned) const {
    std::copy(lanes_.begin(), lanes_.end(), first);
  }

  double operator[](std::size_t k) const { return lanes_[k]; }

  friend ArrayLanes operator+(const ArrayLanes& a, const ArrayLanes& b) {
    return ArrayLanes([&](std::size_t k) { return a.lanes_[k] + b.lanes_[k]; });
  }
  friend ArrayLanes operator-(const ArrayLanes& a, const ArrayLanes& b) {
    return ArrayLanes([&](std::size_t k) { return a.lanes_[k] - b.lanes_[k]; });
  }
  friend ArrayLanes operator*(const ArrayLanes& a, const ArrayLanes& b) {
    return ArrayLanes([&](std::size_t k) { return a.lanes_[k] * b.lanes_[k]; });
  }
  friend ArrayLanes operator/(const ArrayLanes& a, const ArrayLanes& b) {
    return ArrayLanes([&](std::size_t k) { return a.lanes_[k] / b.lanes_[k]; });
  }
  ArrayLanes& operator+=(const ArrayLanes& other) { return *this = *this + other; }

 private:
  std::array<double, N> lanes_{};
};

// The lanewise minimum as x86's minimum instruction and libstdc++'s vectors
// take it: the first value where it is smaller, else the second.
template <std::size_t N>
ArrayLanes<N> lanewiseMin(const ArrayLanes<N>& a, const ArrayLanes<N>& b) {
  return ArrayLanes<N>([&](std::size_t k) { return a[k] < b[k] ? a[k] : b[k]; });
}

template <std::size_t N>
double smallestLane(const ArrayLanes<N>& lanes) {
  double smallest = lanes[0];
  for (std::size_t k = 1; k < N; ++k) smallest = std::min(smallest, lanes[k]);
  return smallest;
}

template <std::size_t N>
bool allFinite(const ArrayLanes<N>& lanes) {
  for (std::size_t k = 0; k < N; ++k)
    if (!std::isfinite(lanes[k])) return false;
  return true;
}

#if PROPCLEAR_PORTABLE_LANES

template <std::size_t N>
using FixedLanes = ArrayLanes<N>;
// Two doubles: the width of WebAssembly's 128-bit vectors.
using NativeLanes = ArrayLanes<2>;
inline constexpr ElementAligned elementAligned{};

#else

namespace stdx = std::experimental;

template <std::size_t N>
using FixedLanes = stdx::fixed_size_simd<double, N>;
using NativeLanes = stdx::native_simd<double>;
inline constexpr auto elementAligned = stdx::element_aligned;

// Inlined: the scans of the swept volume call it on every pair of lanes.
template <class Abi>
[[gnu::always_inline]] inline stdx::simd<double, Abi> lanewiseMin(const stdx::simd<double, Abi>& a,
                                    const stdx::simd<double, Abi>& b) {
  return stdx::min(a, b);
}
template <class Abi>
double smallestLane(const stdx::simd<double, Abi>& lanes) {
  return stdx::hmin(lanes);
}
template <class Abi>
bool allFinite(const stdx::simd<double, Abi>& lanes) {
  return stdx::all_of(stdx::isfinite(lanes));
}

#endif

}  // namespace propclear
