#pragma once
// The signed gap of each clearance: how far the blade stands clear of the
// structure it is measured to, negative where the blade overlaps it. The
// lengths of the established report keep only the size of each gap; the sign
// tells a clearance from a clash.
//
// The program's frame puts the stern frame at smaller x than the propeller
// and the rudder at larger x; the measured blade edges face them that way
// (with rake, edge 2 at 0.7R may lie aft of the shaft centre while it faces
// the stern frame, so the sign is not taken "as seen from the centre"):
//
//    z ^   stern contour         upper blade            rudder edge (3-4)
//      |        )  ^ b                 |                     |
//      |       (<-a->| edge 2   edge 1 |<-------- c -------->|
//      |        )    +------ shaft centre (x0, z0) ----------|
//      |       (<-a'->| edge 1  edge 2 |<-------- c' ------->|
//      |        )     v b'       lower blade                 |
//      |   heel *  (first contour point's height)
//      +------------------------------------------------------------> x
//
//   a, a' = blade x - contour x           c, c' = rudder-edge x - blade x
//   b     = contour height - tip height   b'    = lower tip height - heel height
//
// A clearance measured against a stand-in (x = 0 or height 0) has no signed
// gap and is no overlap.

#include <array>
#include <optional>
#include <string>

#include "clearance/clearance_segment.h"
#include "common/diagnostics.h"
#include "design/design_data.h"
#include "geometry/spline_curve.h"

namespace propclear {

using SignedGaps = std::array<std::optional<double>, clearanceCount>;

// The signed gap of clearance `which`, in metres.
std::optional<double> signedGapOf(const ClearanceSegment& segment, ClearanceIndex which);
SignedGaps signedGapsOf(const ClearanceSet& clearances);

// Whether the clearance's blade overlaps the structure.
inline bool overlaps(const std::optional<double>& signedGap) {
  return signedGap.has_value() && *signedGap < 0.0;
}

// One warning per overlap among the six signed gaps (a' and c' of the blade
// as it turns), naming the clearance and the overlap in metres and as a
// fraction of D.
void warnAboutOverlaps(const SignedGaps& gaps, double propellerDiameter,
                       Diagnostics& diagnostics);

// A warning when the design is drawn the other way round: the stern contour
// at larger x than the propeller centre at the shaft's height, or the rudder
// edge at smaller x.
void checkMeasuringFrame(const DesignData& design, const SplineCurve& hullCurve,
                         Diagnostics& diagnostics);

}  // namespace propclear
