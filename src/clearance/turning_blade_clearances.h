#pragma once
// The lower blade as the propeller really turns it. The established lower
// position reflects the upper outline through the propeller centre, a point
// (x0 + dx, z0 + dz) going to (x0 - dx, z0 - dz): that mirrors the blade fore
// and aft, so a raked blade leans the other way and its edges change sides.
// Half a turn about the shaft takes a blade point (x, y, z) to (x, -y, -z)
// about the centre, so in the side view to (x0 + dx, z0 - dz): every point
// keeps its axial position, and the edge that faces each structure in the
// upper position faces it in the lower one too.
//
// Turning-blade clearances, with the measuring operations of a, c, a' and c'
// (clearance/measuring_operations.h):
//   a' from edge 2 at 0.7R, turned, horizontally to the stern contour;
//   c' from edge 1 at 0.7R, turned, horizontally to the rudder edge.
// b' is the same either way (the tip midpoint's height is the same). Their
// signed gaps are those of the established a' and c' (signed_gap.h).

#include <optional>

#include "clearance/clearance_segment.h"
#include "clearance/measuring_operations.h"
#include "clearance/signed_gap.h"
#include "common/diagnostics.h"

namespace propclear {

struct TurningClearance {
  ClearanceSegment segment;  // "a'" or "c'", as the established records are drawn
  // m, negative where the blade overlaps the structure; none when measured
  // against a stand-in (a height outside the stern contour, measured to x = 0).
  std::optional<double> signedGap;
};

struct TurningLowerBlade {
  TurningClearance aPrime;
  TurningClearance cPrime;
};

TurningLowerBlade measureTurningLowerBlade(const MeasuringContext& context);

// The six signed gaps with a' and c' those of the blade as it turns.
SignedGaps turningBladeGaps(const SignedGaps& gaps, const TurningLowerBlade& turning);

// The note that the report's and the CAD script's a' and c' are the legacy
// figures of the mirrored blade, when either differs from the turning
// blade's by more than 5 mm.
void noteMirroredLowerBlade(const ClearanceSet& clearances, const TurningLowerBlade& turning,
                            Diagnostics& diagnostics);

}  // namespace propclear
