#pragma once
// The analysis of one stern: everything the outputs need, computed from the
// design data alone. A value without side effects: it draws nothing, shares
// no storage, and may run on several threads at once.
//
// In order: the blade outline; the common plot extent (a contour of no extent
// cannot be drawn and ends the analysis); the stern contour fitted piecewise
// between break points, as the drawings show it, and fitted as one smooth
// curve through all points, as the clearances are measured against it; the
// six clearances a, b, c, a', b', c' as the established records have them
// (a' and c' of the mirrored lower blade: the report's and the CAD script's
// legacy figures), with their signed gaps; a' and c' of the lower blade as
// the propeller really turns it; the swept volume of the turning propeller
// and the closest approach of the stern contour, the rudder edge and the heel
// to it (and of the stern contour to the hub of a propeller file's
// propeller); the lower tip's height above the base line and the shortest
// distance from the upper tip to the contour above; and the warnings about
// results a designer must not take for real ones (overlaps of the blade as it
// turns among them). What the results mean for the design (clash, rule
// verdicts, status) is the assessment's (assessment/assessment.h).

#include <optional>
#include <string>
#include <vector>

#include "clearance/clearance_segment.h"
#include "clearance/closest_approach.h"
#include "clearance/hub_section.h"
#include "clearance/shortest_tip_distance.h"
#include "clearance/signed_gap.h"
#include "clearance/swept_volume.h"
#include "clearance/turning_blade_clearances.h"
#include "common/diagnostics.h"
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
  ClearanceSet clearances;  // the established records: a' and c' of the mirrored blade
  SignedGaps signedGaps;    // of those records; negative where the blade overlaps the structure
  TurningLowerBlade turningLowerBlade;
  std::optional<SweptVolume> sweptVolume;          // none for a diameter that is not positive
  std::vector<ClosestApproach> closestApproaches;  // empty without a swept volume
  // m: the lower tip's height above the base line (z = 0); none until measured.
  std::optional<double> baseLineClearance;
  // The shortest side-view distance from the upper tip to the stern contour
  // above the shaft (clearance/shortest_tip_distance.h); none without a
  // contour there.
  std::optional<ClearanceSegment> shortestTipDistance;
  // The hub of a propeller file's propeller, part of the swept solid, and the
  // stern contour's closest approach to it; none without its hub_length.
  std::optional<HubSection> hub;
  std::optional<ClosestApproach> hubApproach;
  std::vector<Warning> warnings;
  // Why the clearances mean nothing (design_validity.h); also among the
  // warnings, as InvalidDesign. Empty for a valid design.
  std::vector<std::string> validityProblems;
};

// Throws RunError for an arithmetic fault (a zero diameter, a horizontal
// rudder edge, a spline pivot of exactly zero, an overflow) and for a stern
// contour of no extent.
SternAnalysis analyseStern(const DesignData& design);

}  // namespace propclear
