#pragma once
// The hatching that marks a clash on the drawings: parallel lines rising at
// 45 degrees across the region the assessment gives (assessment/clash_region.h),
// each cut to its pieces inside one of the cutter's outlines and inside the
// structure's.

#include <vector>

#include "assessment/clash_region.h"
#include "geometry/drawing_point.h"

namespace propclear {

// Lines `spacing` m apart (at most maxHatchLines of them across the region;
// wider apart where more would be needed), inside by the even-odd rule.
inline constexpr int maxHatchLines = 400;
std::vector<DrawingLine> clashHatch(const ClashRegion& region, double spacing);

}  // namespace propclear
