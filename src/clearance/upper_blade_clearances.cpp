// Clearances a, b and c of the blade pointing up from the shaft.

#include <optional>

#include "clearance/measuring_operations.h"
#include "clearance/segment_support.h"
#include "geometry/find_root.h"

namespace propclear {

namespace {

// Horizontal gap from edge 2 at 0.7R to the stern contour.
ClearanceSegment measureA(const MeasuringContext& context) {
  const EdgeCurves& edge2 = context.edges.upper[1];
  const double xa = edgeCoordinateAt07R(context, edge2.x);
  const double za = edgeCoordinateAt07R(context, edge2.z);
  const double xh = hullXAtHeight(context, za);
  ClearanceSegment a = horizontalSegment("a", xa, za, xh);
  a.targetIsFallback = !context.hullCurve.covers(za);
  return a;
}

// The height where the fitted contour reaches x = xt, or 0 where the search
// finds none.
// In file order, not sorted: a contour listed downwards searches from its top.
// Height 0 stands in where the search finds no height.
std::optional<double> contourHeightAtX(const MeasuringContext& context, double xt) {
  const SplineCurve& hull = context.hullCurve;
  const int n = hull.knotCount();
  const RootSearch search =
      findRoot(hull, xt, hull.knot(1), hull.knot(n), rootTolerance, rootMaxIterations);
  switch (search.status) {
    case RootStatus::Found:
      return search.root;
    case RootStatus::GivenUp:
      context.diagnostics.warn(
          WarningKind::StandInTarget,
          "clearance b: the stern contour does not reach the blade tip's x between its first and "
          "last point; b is measured to height 0");
      return std::nullopt;
    case RootStatus::NotConverged:
      context.diagnostics.warn(
          WarningKind::StandInTarget,
          "clearance b: the search for the contour height above the blade tip did not converge; b "
          "is measured to height 0");
      return std::nullopt;
  }
  return std::nullopt;
}

// Vertical gap from the tip midpoint up (or down) to the stern contour.
ClearanceSegment measureB(const MeasuringContext& context, double x0, double z0) {
  const BladeOutline& b = context.outline;
  const int tip = b.stationCount;
  const TipMidpoint t = tipMidpoint(x0 + b.edge1X[tip], z0 + b.edge1Z[tip], x0 + b.edge2X[tip],
                                    z0 + b.edge2Z[tip]);
  const std::optional<double> zh = contourHeightAtX(context, t.x);
  ClearanceSegment segment = verticalSegment("b", t.x, t.z, zh.value_or(0.0));
  segment.targetIsFallback = !zh.has_value();
  return segment;
}

// Horizontal gap from edge 1 at 0.7R to the rudder edge.
ClearanceSegment measureC(const MeasuringContext& context) {
  const EdgeCurves& edge1 = context.edges.upper[0];
  const double xc = edgeCoordinateAt07R(context, edge1.x);
  const double zc = edgeCoordinateAt07R(context, edge1.z);
  const double xr = rudderEdgeXAtHeight(context.design, zc);
  return horizontalSegment("c", xc, zc, xr);
}

}  // namespace

void computeUpperBladeClearances(const MeasuringContext& context, ClearanceSet& clearances) {
  const double x0 = context.design.propellerCentreX, z0 = context.design.propellerCentreZ;
  clearances[clearanceA] = measureA(context);
  clearances[clearanceB] = measureB(context, x0, z0);
  clearances[clearanceC] = measureC(context);
}

}  // namespace propclear
