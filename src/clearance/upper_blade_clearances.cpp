// Clearances a, b and c of the blade pointing up from the shaft.

#include <cmath>

#include "clearance/compute_clearances.h"
#include "clearance/segment_support.h"
#include "common/checked_math.h"
#include "geometry/find_root.h"
#include "geometry/fit_curve.h"
#include "geometry/set_up_contour.h"

namespace propclear {

namespace {

// Horizontal gap from edge 2 at 0.7R to the stern contour.
ClearanceSegment measureA(ClearanceContext& context, double x0, double z0) {
  const BladeOutline& b = context.outline;
  const double xa = edgeCoordinateAt07R(context, absoluteStations(x0, +1, b.edge2X));
  const double za = edgeCoordinateAt07R(context, absoluteStations(z0, +1, b.edge2Z));
  const double xh = hullXAtHeight(context, za);
  return horizontalSegment("a", xa, za, xh);
}

// The height where the fitted contour reaches x = xt, or 0 where the search
// finds none.
double contourHeightAtX(ClearanceContext& context, double xt) {
  CurveWorkspace& ws = context.workspace;
  const int n = setUpContour(context.design, sternContourRow, ws);
  fitCurve(n, ws.knot, ws.coef, notAKnotEnd, notAKnotEnd);
  const double zLow = ws.knot[1];
  const double zHigh = ws.knot[n];
  constexpr int statusNotWritten = 1;
  double root = 0.0;
  int status = statusNotWritten;
  findRoot(n, ws.knot, ws.coef, xt, zLow, zHigh, rootTolerance, root, status, rootMaxIterations, 0);
  if (status == rootGivenUp) {
    context.diagnostics.warn(
        "clearance b: the stern contour does not reach the blade tip's x between its first and "
        "last point; b is measured to height 0");
  } else if (status == statusNotWritten) {
    context.diagnostics.warn(
        "clearance b: the search for the contour height above the blade tip did not converge; b "
        "is measured to height 0");
  }
  return root;
}

// Vertical gap from the tip midpoint up (or down) to the stern contour.
ClearanceSegment measureB(ClearanceContext& context, double x0, double z0) {
  const BladeOutline& b = context.outline;
  const int tip = b.stationCount;
  const TipMidpoint t = tipMidpoint(x0 + b.edge1X[tip], z0 + b.edge1Z[tip], x0 + b.edge2X[tip],
                                    z0 + b.edge2Z[tip]);
  const double zh = contourHeightAtX(context, t.x);
  return verticalSegment("b", t.x, t.z, zh);
}

// Horizontal gap from edge 1 at 0.7R to the rudder edge.
ClearanceSegment measureC(ClearanceContext& context, double x0, double z0) {
  const BladeOutline& b = context.outline;
  const double xc = edgeCoordinateAt07R(context, absoluteStations(x0, +1, b.edge1X));
  const double zc = edgeCoordinateAt07R(context, absoluteStations(z0, +1, b.edge1Z));
  const double xr = rudderEdgeXAtHeight(context.design, zc);
  return horizontalSegment("c", xc, zc, xr);
}

}  // namespace

void computeUpperBladeClearances(ClearanceContext& context, ClearanceSet& clearances) {
  const DesignData& design = context.design;
  const double x0 = design.propellerCentreX, z0 = design.propellerCentreZ;
  const double d = design.propellerDiameter;
  DrawingSurface& surface = context.surface;

  const ClearanceSegment& a = clearances[clearanceA] = measureA(context, x0, z0);
  showClearance(surface, a, paletteLightGreen, midpoint(a.targetX, a.bladeX), a.bladeZ,
                "a=" + ratioLabel(a.length, d) + "D");

  const ClearanceSegment& b = clearances[clearanceB] = measureB(context, x0, z0);
  showClearance(surface, b, paletteLightGreen, b.bladeX,
                checkedDivide(b.targetZ + b.bladeZ, 1.8, "the label position of b"),
                "b=" + ratioLabel(b.length, d) + "D");

  const ClearanceSegment& c = clearances[clearanceC] = measureC(context, x0, z0);
  showClearance(surface, c, paletteLightBlue, midpoint(c.targetX, c.bladeX), c.bladeZ, "c");
}

}  // namespace propclear
