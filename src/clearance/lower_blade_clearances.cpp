// Clearances a', b' and c' of the blade pointing down: the upper blade's
// outline reflected through the propeller centre, so edge 1 now faces the
// stern contour and edge 2 the rudder.

#include "clearance/measuring_operations.h"
#include "clearance/segment_support.h"

namespace propclear {

namespace {

ClearanceSegment measureAPrime(const MeasuringContext& context) {
  const EdgeCurves& edge1 = context.edges.lower[0];
  const double xa = edgeCoordinateAt07R(context, edge1.x);
  const double za = edgeCoordinateAt07R(context, edge1.z);
  const double xh = hullXAtHeight(context, za);
  ClearanceSegment a = horizontalSegment("a'", xa, za, xh);
  a.targetIsFallback = !context.hullCurve.covers(za);
  return a;
}

// Vertical gap from the lower tip midpoint to the first contour point's height.
ClearanceSegment measureBPrime(const MeasuringContext& context, double x0, double z0) {
  const BladeOutline& b = context.outline;
  const int tip = b.stationCount;
  const double zk = context.design.contourZ[sternContourRow][1];
  const TipMidpoint t = tipMidpoint(x0 - b.edge1X[tip], z0 - b.edge1Z[tip], x0 - b.edge2X[tip],
                                    z0 - b.edge2Z[tip]);
  return verticalSegment("b'", t.x, t.z, zk);
}

ClearanceSegment measureCPrime(const MeasuringContext& context) {
  const EdgeCurves& edge2 = context.edges.lower[1];
  const double xc = edgeCoordinateAt07R(context, edge2.x);
  const double zc = edgeCoordinateAt07R(context, edge2.z);
  const double xr = rudderEdgeXAtHeight(context.design, zc);
  return horizontalSegment("c'", xc, zc, xr);
}

}  // namespace

void computeLowerBladeClearances(const MeasuringContext& context, ClearanceSet& clearances) {
  const double x0 = context.design.propellerCentreX, z0 = context.design.propellerCentreZ;
  clearances[clearanceAPrime] = measureAPrime(context);
  clearances[clearanceBPrime] = measureBPrime(context, x0, z0);
  clearances[clearanceCPrime] = measureCPrime(context);
}

}  // namespace propclear
