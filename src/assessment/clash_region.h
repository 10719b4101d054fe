#pragma once
// Where a clash lies in the side view, for the drawings to hatch: the
// outlines of what cuts (the blade the clearance is measured on, both halves
// of the swept volume's outline, or the hub) and of the structure it cuts
// (the stern frame forward of the measured contour, the rudder, or the level
// of the heel with what lies below it). The clash is the region inside one
// of the cutter's outlines and inside the structure's; the drawings hatch it
// as it stands here and judge nothing again.

#include <string_view>
#include <vector>

#include "clearance/stern_analysis.h"
#include "design/design_data.h"
#include "geometry/drawing_point.h"

namespace propclear {

// Closed outlines in m: the last point joins the first.
struct ClashRegion {
  std::vector<std::vector<DrawingPoint>> cutter;
  std::vector<DrawingPoint> structure;
};

enum class ClashCutter { Blade, SweptVolume, Hub };

// The region of a clash of `cutter` (for a blade, the one `clearance` is
// measured on: a, b, c the upper blade, a', b', c' the lower as it turns)
// with `structure`: "stern frame", "rudder" or "heel". Empty outlines for a
// part the analysis does not have (no swept volume).
ClashRegion clashRegionOf(ClashCutter cutter, std::string_view structure,
                          std::string_view clearance, const DesignData& design,
                          const SternAnalysis& analysis);

}  // namespace propclear
