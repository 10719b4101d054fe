#pragma once
// The shortest side-view distance from the upper blade tip to the stern
// contour above the shaft, beside b's vertical measure. In the side view the
// tip turns on a vertical line through the upper tip (the disc seen edge on,
// raked), from the shaft's height up to the tip; the distance is taken from
// that line to the measured contour (the one curve through all points) where
// it lies at or above the shaft's height. A contour leaning over the blade
// comes closer to the tip than straight above it.

#include <optional>

#include "clearance/clearance_segment.h"
#include "design/design_data.h"
#include "geometry/spline_curve.h"

namespace propclear {

// The segment from the tip's line to the nearest contour point, named
// "tip distance"; none when the contour has no height at or above the
// shaft's. `upperTip` is b's blade end.
std::optional<ClearanceSegment> shortestTipDistance(const DesignData& design,
                                                    const SplineCurve& hullCurve,
                                                    const ClearanceSegment& upperTip);

}  // namespace propclear
