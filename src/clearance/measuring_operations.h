#pragma once
// The measuring operations shared by the upper and lower blade clearances,
// and the two passes that use them. Each clearance is a horizontal or
// vertical segment from a point of the blade outline to the structure.

#include "clearance/blade_edge_curves.h"
#include "clearance/clearance_segment.h"
#include "common/diagnostics.h"
#include "design/design_data.h"
#include "geometry/blade_outline.h"
#include "geometry/spline_curve.h"

namespace propclear {

// What the measurements read, and where their warnings go.
struct MeasuringContext {
  const DesignData& design;
  const BladeOutline& outline;
  const BladeEdgeCurves& edges;
  const SplineCurve& hullCurve;  // the stern contour as one curve through all points
  Diagnostics& diagnostics;
};

// Root search for the height of clearance b.
inline constexpr double rootTolerance = 0.00001;
inline constexpr int rootMaxIterations = 50;

// One blade-edge coordinate (an absolute x or z fitted over radius) at 0.7R.
double edgeCoordinateAt07R(const MeasuringContext& context, const SplineCurve& overRadius);
// x of the stern contour at height z; 0 when z lies outside the contour (with
// a warning).
double hullXAtHeight(const MeasuringContext& context, double z);
// x of the straight rudder edge through rudder corners 3 and 4 at height z;
// the mean of their x when the edge is vertical within 0.1 mm. A horizontal
// edge is an arithmetic fault.
double rudderEdgeXAtHeight(const DesignData& design, double z);

// a, b and c, in that order, into clearances[clearanceA..clearanceC].
void computeUpperBladeClearances(const MeasuringContext& context, ClearanceSet& clearances);
// a', b' and c', in that order, into clearances[clearanceAPrime..clearanceCPrime].
void computeLowerBladeClearances(const MeasuringContext& context, ClearanceSet& clearances);

}  // namespace propclear
