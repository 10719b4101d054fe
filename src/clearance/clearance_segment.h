#pragma once
// One measured clearance and the set of six a run measures.

#include <array>
#include <string>
#include <string_view>

namespace propclear {

// One measured clearance: a horizontal or vertical segment from the blade to
// the stern contour, a height, or the rudder edge.
struct ClearanceSegment {
  std::string name;
  double bladeX = 0.0;  // m, end on the blade
  double bladeZ = 0.0;
  double targetX = 0.0;  // m, the other end
  double targetZ = 0.0;
  double length = 0.0;  // m, never negative
  // The other end is a stand-in, not the structure: x = 0 for a height the
  // stern contour does not reach, height 0 where the search above the tip
  // found no contour.
  bool targetIsFallback = false;
};

// The six clearances in the order a, b, c, a', b', c'.
inline constexpr int clearanceCount = 6;
using ClearanceSet = std::array<ClearanceSegment, clearanceCount>;
enum ClearanceIndex : int {
  clearanceA = 0,
  clearanceB = 1,
  clearanceC = 2,
  clearanceAPrime = 3,
  clearanceBPrime = 4,
  clearanceCPrime = 5,
};

// The clearances' names, indexed by ClearanceIndex.
inline constexpr std::array<std::string_view, clearanceCount> clearanceNames = {
    "a", "b", "c", "a'", "b'", "c'"};

}  // namespace propclear
