#pragma once
// The six propeller clearances of the side view: a, b, c for the blade
// pointing up, a', b', c' for the blade pointing down. Each is drawn into the
// plot as soon as it is found.

#include "clearance/clearance_segment.h"
#include "common/diagnostics.h"
#include "design/design_data.h"
#include "geometry/blade_outline.h"
#include "geometry/curve_workspace.h"
#include "plot/drawing_surface.h"

namespace propclear {

// What the clearance analysis reads and the one workspace it fits into.
struct ClearanceContext {
  const DesignData& design;
  const BladeOutline& outline;
  CurveWorkspace& workspace;
  DrawingSurface& surface;
  Diagnostics& diagnostics;
};

// Root search for the height of clearance b.
inline constexpr double rootTolerance = 0.00001;
inline constexpr int rootMaxIterations = 50;

// Blade-edge coordinate (one value per station, absolute) at radius 0.35 D.
double edgeCoordinateAt07R(ClearanceContext& context, const StationList& values);
// x of the stern contour at height z, fitted as one curve over all points;
// 0 when z lies outside the contour (with a warning).
double hullXAtHeight(ClearanceContext& context, double z);
// x of the straight rudder edge through rudder corners 3 and 4 at height z.
double rudderEdgeXAtHeight(const DesignData& design, double z);
// Draws the segment in `colour` and its label in the text colour.
void showClearance(DrawingSurface& surface, const ClearanceSegment& segment, int colour,
                   double labelX, double labelZ, const std::string& labelText);

// a, b and c, in that order, into clearances[clearanceA..clearanceC].
void computeUpperBladeClearances(ClearanceContext& context, ClearanceSet& clearances);
// a', b' and c', in that order, into clearances[clearanceAPrime..clearanceCPrime].
void computeLowerBladeClearances(ClearanceContext& context, ClearanceSet& clearances);

// Warnings for propeller data that make the blade outline meaningless and for
// a stern contour whose heights do not rise from point to point.
void checkDesignPlausibility(const DesignData& design, Diagnostics& diagnostics);

}  // namespace propclear
