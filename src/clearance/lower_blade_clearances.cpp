// Clearances a', b' and c' of the blade pointing down: the upper blade's
// outline reflected through the propeller centre, so edge 1 now faces the
// stern contour and edge 2 the rudder.

#include "clearance/compute_clearances.h"
#include "clearance/segment_support.h"

namespace propclear {

namespace {

ClearanceSegment measureAPrime(ClearanceContext& context, double x0, double z0) {
  const BladeOutline& b = context.outline;
  const double xa = edgeCoordinateAt07R(context, absoluteStations(x0, -1, b.edge1X));
  const double za = edgeCoordinateAt07R(context, absoluteStations(z0, -1, b.edge1Z));
  const double xh = hullXAtHeight(context, za);
  return horizontalSegment("a'", xa, za, xh);
}

// Vertical gap from the lower tip midpoint to the first contour point's height.
ClearanceSegment measureBPrime(ClearanceContext& context, double x0, double z0) {
  const BladeOutline& b = context.outline;
  const int tip = b.stationCount;
  const double zk = context.design.contourZ[sternContourRow][1];
  const TipMidpoint t = tipMidpoint(x0 - b.edge1X[tip], z0 - b.edge1Z[tip], x0 - b.edge2X[tip],
                                    z0 - b.edge2Z[tip]);
  return verticalSegment("b'", t.x, t.z, zk);
}

ClearanceSegment measureCPrime(ClearanceContext& context, double x0, double z0) {
  const BladeOutline& b = context.outline;
  const double xc = edgeCoordinateAt07R(context, absoluteStations(x0, -1, b.edge2X));
  const double zc = edgeCoordinateAt07R(context, absoluteStations(z0, -1, b.edge2Z));
  const double xr = rudderEdgeXAtHeight(context.design, zc);
  return horizontalSegment("c'", xc, zc, xr);
}

}  // namespace

void computeLowerBladeClearances(ClearanceContext& context, ClearanceSet& clearances) {
  const DesignData& design = context.design;
  const double x0 = design.propellerCentreX, z0 = design.propellerCentreZ;
  DrawingSurface& surface = context.surface;

  const ClearanceSegment& a = clearances[clearanceAPrime] = measureAPrime(context, x0, z0);
  showClearance(surface, a, paletteLightBlue, midpoint(a.targetX, a.bladeX), a.bladeZ, "a'");

  const ClearanceSegment& b = clearances[clearanceBPrime] = measureBPrime(context, x0, z0);
  showClearance(surface, b, paletteLightBlue, b.bladeX, midpoint(b.bladeZ, b.targetZ), "b'");

  const ClearanceSegment& c = clearances[clearanceCPrime] = measureCPrime(context, x0, z0);
  showClearance(surface, c, paletteLightBlue, midpoint(c.targetX, c.bladeX), c.bladeZ, "c'");
}

}  // namespace propclear
