#pragma once
// The analysis of one stern: everything the outputs need, computed from the
// design data alone. A value without side effects: it draws nothing, shares
// no storage, and may run on several threads at once.
//
// In order: the blade outline; the common plot extent (a contour of no extent
// cannot be drawn and ends the analysis); the stern contour fitted piecewise
// between break points, as the drawings show it, and fitted as one smooth
// curve through all points, as the clearances are measured against it; the
// six clearances a, b, c, a', b', c' with their signed gaps; and the warnings
// about results a designer must not take for real ones (overlaps among them).

#include <string>
#include <vector>

#include "clearance/clearance_segment.h"
#include "clearance/signed_gap.h"
#include "design/design_data.h"
#include "design/plot_extent.h"
#include "geometry/blade_outline.h"
#include "geometry/spline_curve.h"

namespace propclear {

struct SternAnalysis {
  BladeOutline outline;
  PlotExtent extent;
  SplineCurve contourCurve;  // piecewise between break points: the drawn contour
  SplineCurve hullCurve;     // one curve through all points: the measured contour
  ClearanceSet clearances;
  SignedGaps signedGaps;  // negative where the blade overlaps the structure
  std::vector<std::string> warnings;

  bool hasOverlap() const;
};

// Throws RunError for an arithmetic fault (a zero diameter, a horizontal
// rudder edge, a spline pivot of exactly zero, an overflow) and for a stern
// contour of no extent.
SternAnalysis analyseStern(const DesignData& design);

}  // namespace propclear
