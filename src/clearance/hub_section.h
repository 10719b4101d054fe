#pragma once
// The hub as part of the solid the turning propeller sweeps: a cylinder of
// the design's hub diameter Dh and the propeller file's hub length L,
// centred on the propeller centre. In the meridional plane of the swept
// volume (clearance/swept_volume.h: x along the shaft, r from its axis) it
// is the rectangle |x - x0| <= L / 2, 0 <= r <= Dh / 2, and a point (x, z)
// of the centre plane lies at radius rho = |z - z0|, so its distance to the
// hub is that of (x, rho) to the rectangle.
//
// The hub is measured only where a propeller file gives its length: without
// one the swept volume is the blades' alone, as it always was, and the hub is
// drawn 1.5 Dh long as a sketch (design/design_data.h).

#include <optional>

#include "clearance/closest_approach.h"
#include "clearance/swept_volume.h"
#include "design/design_data.h"
#include "geometry/spline_curve.h"

namespace propclear {

struct HubSection {
  double lowX = 0.0;   // m, the hub's forward and aft faces
  double highX = 0.0;
  double radius = 0.0;  // Dh / 2

  // Signed: negative inside the rectangle (minus the distance to its edge).
  SectionDistance distanceFrom(MeridionalPoint p) const;
};

// The hub of the design's propeller file; none without one or without its
// hub_length.
std::optional<HubSection> hubSectionOf(const DesignData& design);

// The closest approach of the stern contour to the hub (none when no piece
// of the fitted contour rises); `tipRadius` gives the radius ratio of the
// hub's point.
std::optional<ClosestApproach> hubApproach(const DesignData& design, const HubSection& hub,
                                           double tipRadius, const SplineCurve& hullCurve);

}  // namespace propclear
