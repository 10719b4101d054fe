#pragma once
// The swept volume of the turning propeller and the closest approaches to
// it, laid out for the drawings that show them (the screen plot and its
// exports, the DXF drawing; the CAD script keeps the established content):
// the meridional section M drawn at z0 + r above the shaft and at z0 - r
// below it, and each closest approach as a segment from the structure to the
// swept volume. Blade thickness is neglected (clearance/swept_volume.h).

#include <vector>

#include "clearance/stern_analysis.h"
#include "sheet/drawing_point.h"

namespace propclear {

// Each half a closed outline: xLow from the root to the tip, then xHigh back
// to the root, every station interval in four steps of radius.
struct SweptOutline {
  std::vector<DrawingPoint> above;
  std::vector<DrawingPoint> below;
};

// Empty halves when the analysis has no swept volume.
SweptOutline sweptOutlineOf(const SternAnalysis& analysis);

struct ApproachMark {
  DrawingLine segment;  // from the structure's point to the swept volume's
  double ratioToDiameter = 0.0;
  bool overlaps = false;  // the segment then has no length: the point lies inside
  bool toHub = false;     // the stern contour's approach to the hub
};

// One mark per closest approach, in the analysis's order, the hub's last.
std::vector<ApproachMark> approachMarksOf(const SternAnalysis& analysis);

}  // namespace propclear
