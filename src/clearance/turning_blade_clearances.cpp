#include "clearance/turning_blade_clearances.h"

#include <cmath>

#include "clearance/segment_support.h"
#include "clearance/signed_gap.h"

namespace propclear {

namespace {

// The largest difference between the two lower-blade conventions that goes
// without a note, m: the report's three decimals.
constexpr double conventionTolerance = 0.005;

TurningClearance measureTurningAPrime(const MeasuringContext& context) {
  const double xa = edgeCoordinateAt07R(context, context.edges.upper[1].x);
  const double za = edgeCoordinateAt07R(context, context.edges.lower[1].z);
  const double xh = hullXAtHeight(context, za);
  ClearanceSegment segment = horizontalSegment("a'", xa, za, xh);
  segment.targetIsFallback = !context.hullCurve.covers(za);
  return {segment, signedGapOf(segment, clearanceAPrime)};
}

TurningClearance measureTurningCPrime(const MeasuringContext& context) {
  const double xc = edgeCoordinateAt07R(context, context.edges.upper[0].x);
  const double zc = edgeCoordinateAt07R(context, context.edges.lower[0].z);
  const double xr = rudderEdgeXAtHeight(context.design, zc);
  const ClearanceSegment segment = horizontalSegment("c'", xc, zc, xr);
  return {segment, signedGapOf(segment, clearanceCPrime)};
}

// The figure a designer reads: the signed gap where there is one.
double turningLength(const TurningClearance& clearance) {
  return clearance.signedGap.value_or(clearance.segment.length);
}

}  // namespace

TurningLowerBlade measureTurningLowerBlade(const MeasuringContext& context) {
  return {measureTurningAPrime(context), measureTurningCPrime(context)};
}

SignedGaps turningBladeGaps(const SignedGaps& gaps, const TurningLowerBlade& turning) {
  SignedGaps turned = gaps;
  turned[clearanceAPrime] = turning.aPrime.signedGap;
  turned[clearanceCPrime] = turning.cPrime.signedGap;
  return turned;
}

void noteMirroredLowerBlade(const ClearanceSet& clearances, const TurningLowerBlade& turning,
                            Diagnostics& diagnostics) {
  const double aPrime = turningLength(turning.aPrime), cPrime = turningLength(turning.cPrime);
  if (std::abs(aPrime - clearances[clearanceAPrime].length) <= conventionTolerance &&
      std::abs(cPrime - clearances[clearanceCPrime].length) <= conventionTolerance) {
    return;
  }
  diagnostics.warn(
      WarningKind::LegacyLowerBlade,
      "the report and the CAD script give the legacy a' = " +
          metresText(clearances[clearanceAPrime].length) + ", c' = " +
          metresText(clearances[clearanceCPrime].length) +
          " of the mirrored lower blade; the blade as it turns gives a' = " + metresText(aPrime) +
          ", c' = " + metresText(cPrime));
}

}  // namespace propclear
