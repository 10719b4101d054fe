#pragma once
// The closest approach of the centre-plane structure to the turning
// propeller's swept volume (clearance/swept_volume.h), blade thickness
// neglected. The six clearances are gaps at fixed points; a stern frame that
// bulges between them, or a rudder edge that leans, can come closer to the
// turning blades than any of them says.
//
// Structures: the stern contour (the one smooth curve through all points that
// the clearances are measured against, from its first to its last point; of
// a contour whose heights fall somewhere, the pieces that rise), the rudder's
// leading edge (the segment from corner 3 to corner 4) and the heel (the
// first contour point).
//
// Notation: a structure point (x(t), z(t)), t the height along the contour or
// the length along the rudder edge from corner 3; rho(t) = |z(t) - z0|;
// f(t) the signed distance of (x(t), rho(t)) to the meridional section M,
// negative inside.
//
// Method: each structure is cut into strands on which x and rho are smooth
// (runs of rising contour pieces, split where the structure crosses the
// shaft's height). A coarse scan samples f along every strand about every
// R/8 of arc, from M's samples (cheap, off by at most M's approximation
// error). Every local minimum of the scan within half a scan step plus twice
// that error of the lowest sample (f changes by no more than the arc between
// samples) is refined on the exact f between its neighbouring samples, to
// 1e-6 m along t: where f falls at the one and rises at the other, as the
// zero of its slope f' = (P - N) . P' / |P - N| (N the nearest point of M's
// boundary, P' = (x', +-z') the structure point's rate; the secant steps of
// geometry/minimum_from_slope.h), otherwise, and wherever the point found
// touches or lies inside M, by Brent's minimisation
// (geometry/minimise_on_interval.h). A dip narrower than a scan step that leaves no
// local minimum among the samples would go unseen; a stern contour fitted
// through points a few decimetres apart has none. A minimum below zero is an
// overlap: the swept volume cuts the structure, and its deepest point inside
// M is reported.

#include <string>
#include <vector>

#include "clearance/swept_volume.h"
#include "common/diagnostics.h"
#include "design/design_data.h"
#include "geometry/spline_curve.h"

namespace propclear {

enum class SternStructure { SternContour, RudderEdge, Heel };

// "stern contour", "rudder leading edge", "heel".
const char* structureName(SternStructure structure);

struct ClosestApproach {
  SternStructure structure = SternStructure::SternContour;
  double distance = 0.0;  // m; 0 where the swept volume cuts the structure
  double distancePerDiameter = 0.0;
  double structureX = 0.0;  // m, the structure's point
  double structureZ = 0.0;
  // The nearest point of the swept volume in the centre plane, at z0 + r
  // above the shaft or z0 - r below it; the structure's point itself where
  // the two overlap.
  double sweptX = 0.0;
  double sweptZ = 0.0;
  double radiusRatio = 0.0;  // r / R of that point
  bool aboveShaft = true;    // the structure's point lies at or above the shaft's height
  bool overlaps = false;
  double overlapDepth = 0.0;  // m: how far inside M the structure's point lies (0 without overlap)
};

// The closest approach of each structure, in the order stern contour, rudder
// edge, heel. The stern contour is left out when no piece of its fitted curve
// rises (it has no points between which to measure).
std::vector<ClosestApproach> closestApproaches(const DesignData& design, const SweptVolume& volume,
                                               const SplineCurve& hullCurve);

// A warning for each structure the swept volume cuts, its depth in m and per
// diameter.
void warnAboutSweptOverlaps(const std::vector<ClosestApproach>& approaches,
                            double propellerDiameter, Diagnostics& diagnostics);

}  // namespace propclear
