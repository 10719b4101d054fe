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
// Method: each structure is cut into strands on which x and the radius from
// the shaft axis are smooth (clearance/structure_strands.h); along them the
// lowest signed distance to the swept volume's meridional section is found
// by a coarse scan and a refinement of its candidates
// (clearance/lowest_along_structure.h). A minimum below zero is an overlap:
// the swept volume cuts the structure, and its deepest point inside the
// section is reported.

#include <string>
#include <vector>

#include "clearance/swept_volume.h"
#include "common/diagnostics.h"
#include "design/design_data.h"
#include "geometry/spline_curve.h"

namespace propclear {

enum class SternStructure { SternContour, RudderEdge, Heel };
// What of the swept solid the approach is measured to: the blades' swept
// volume, or the hub (clearance/hub_section.h).
enum class SweptPart { Blades, Hub };

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
  SweptPart sweptPart = SweptPart::Blades;
};

// The closest approach of each structure, in the order stern contour, rudder
// edge, heel. The stern contour is left out when no piece of its fitted curve
// rises (it has no points between which to measure).
std::vector<ClosestApproach> closestApproaches(const DesignData& design, const SweptVolume& volume,
                                               const SplineCurve& hullCurve);

// A warning for each structure the swept volume or the hub cuts, its depth in
// m and per diameter.
void warnAboutSweptOverlaps(const std::vector<ClosestApproach>& approaches,
                            double propellerDiameter, Diagnostics& diagnostics);

}  // namespace propclear
