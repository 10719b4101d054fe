#pragma once
// The outline of the swept volume of the turning propeller in the side view:
// the meridional section M (clearance/swept_volume.h) at z0 + r above the
// shaft and at z0 - r below it, what the drawings show of it and what a
// clash of the swept volume is drawn inside. Blade thickness is neglected.

#include <vector>

#include "clearance/stern_analysis.h"
#include "geometry/drawing_point.h"

namespace propclear {

// Each half a closed outline: xLow from the root to the tip, then xHigh back
// to the root, every station interval in four steps of radius.
struct SweptOutline {
  std::vector<DrawingPoint> above;
  std::vector<DrawingPoint> below;
};

// Empty halves when the analysis has no swept volume.
SweptOutline sweptOutlineOf(const SternAnalysis& analysis);

}  // namespace propclear
