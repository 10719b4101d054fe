#pragma once
// The closest approaches of the structure to the swept volume of the turning
// propeller, laid out for the drawings that show them (the screen plot and
// its exports, the DXF drawing; the CAD script keeps the established
// content): each a segment from the structure to the swept volume, drawn
// beside the volume's outline (clearance/swept_outline.h).

#include <vector>

#include "clearance/stern_analysis.h"
#include "clearance/swept_outline.h"
#include "geometry/drawing_point.h"

namespace propclear {

struct ApproachMark {
  DrawingLine segment;  // from the structure's point to the swept volume's
  double ratioToDiameter = 0.0;
  bool overlaps = false;  // the segment then has no length: the point lies inside
  bool toHub = false;     // the stern contour's approach to the hub
};

// One mark per closest approach, in the analysis's order, the hub's last.
std::vector<ApproachMark> approachMarksOf(const SternAnalysis& analysis);

}  // namespace propclear
