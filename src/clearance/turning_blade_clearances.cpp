#include "clearance/turning_blade_clearances.h"

#include <cmath>

#include "clearance/segment_support.h"
#include "clearance/signed_gap.h"

namespace propclear {

namespace {

// The largest difference between the two lower-blade conventions that goes
// without a note, m: the report's three decimals.
constexpr double conventionTolerance = 0.005;

TurningClearance measureAPrime(const MeasuringContext& context, double x0, double z0) {
  const BladeOutline& b = context.outline;
  const double xa = edgeCoordinateAt07R(context, absoluteStations(x0, +1, b.edge2X));
  const double za = edgeCoordinateAt07R(context, absoluteStations(z0, -1, b.edge2Z));
  const double xh = hullXAtHeight(context, za);
  ClearanceSegment segment = horizontalSegment("a'", xa, za, xh);
  segment.targetIsFallback = !context.hullCurve.covers(za);
  return {segment, signedGapOf(segment, clearanceAPrime)};
}

TurningClearance measureCPrime(const MeasuringContext& context, double x0, double z0) {
  const BladeOutline& b = context.outline;
  const double xc = edgeCoordinateAt07R(context, absoluteStations(x0, +1, b.edge1X));
  const double zc = edgeCoordinateAt07R(context, absoluteStations(z0, -1, b.edge1Z));
  const double xr = rudderEdgeXAtHeight(context.design, zc);
  const ClearanceSegment segment = horizontalSegment("c'", xc, zc, xr);
  return {segment, signedGapOf(segment, clearanceCPrime)};
}

// The figure a designer reads: the signed gap where there is one.
double shownLength(const TurningClearance& clearance) {
  return clearance.signedGap.value_or(clearance.segment.length);
}

}  // namespace

TurningLowerBlade measureTurningLowerBlade(const MeasuringContext& context) {
  const double x0 = context.design.propellerCentreX, z0 = context.design.propellerCentreZ;
  return {measureAPrime(context, x0, z0), measureCPrime(context, x0, z0)};
}

void warnAboutTurningOverlaps(const TurningLowerBlade& turning, double propellerDiameter,
                              Diagnostics& diagnostics) {
  warnAboutOverlap("a' of the turning blade", clearanceAPrime, turning.aPrime.signedGap,
                   propellerDiameter, diagnostics);
  warnAboutOverlap("c' of the turning blade", clearanceCPrime, turning.cPrime.signedGap,
                   propellerDiameter, diagnostics);
}

void noteMirroredLowerBlade(const ClearanceSet& clearances, const TurningLowerBlade& turning,
                            Diagnostics& diagnostics) {
  const double aPrime = shownLength(turning.aPrime), cPrime = shownLength(turning.cPrime);
  if (std::abs(aPrime - clearances[clearanceAPrime].length) <= conventionTolerance &&
      std::abs(cPrime - clearances[clearanceCPrime].length) <= conventionTolerance) {
    return;
  }
  diagnostics.warn(
      "a' and c' in the report follow the mirrored lower blade; the turning blade gives a' = " +
      metresText(aPrime) + ", c' = " + metresText(cPrime));
}

}  // namespace propclear
