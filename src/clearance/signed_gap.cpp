#include "clearance/signed_gap.h"

#include <string>

#include "clearance/measuring_operations.h"
#include "clearance/segment_support.h"
#include "geometry/evaluate_curve.h"

namespace propclear {

namespace {

// What each clearance is measured to, for the warnings.
constexpr const char* measuredTo[clearanceCount] = {
    "the stern contour", "the stern contour above the tip", "the rudder edge",
    "the stern contour", "the heel (the first contour point's height)", "the rudder edge"};

}  // namespace

std::optional<double> signedGapOf(const ClearanceSegment& segment, ClearanceIndex which) {
  if (segment.targetIsFallback) return std::nullopt;
  switch (which) {
    case clearanceA:
    case clearanceAPrime:
      return segment.bladeX - segment.targetX;
    case clearanceB:
      return segment.targetZ - segment.bladeZ;
    case clearanceC:
    case clearanceCPrime:
      return segment.targetX - segment.bladeX;
    case clearanceBPrime:
      return segment.bladeZ - segment.targetZ;
  }
  return std::nullopt;
}

SignedGaps signedGapsOf(const ClearanceSet& clearances) {
  SignedGaps gaps;
  for (int i = 0; i < clearanceCount; ++i) {
    gaps[i] = signedGapOf(clearances[i], static_cast<ClearanceIndex>(i));
  }
  return gaps;
}

void warnAboutOverlaps(const SignedGaps& gaps, double propellerDiameter,
                       Diagnostics& diagnostics) {
  for (std::size_t i = 0; i < gaps.size(); ++i) {
    if (!overlaps(gaps[i])) continue;
    const double overlap = -*gaps[i];
    const std::string name(clearanceNames[i]);
    diagnostics.warn(WarningKind::Overlap,
                     "clearance " + name + ": the blade overlaps " + measuredTo[i] + " by " +
                         metresText(overlap) + " (" +
                         fractionOfDiameter(overlap, propellerDiameter) + ")",
                     name);
  }
}

void checkMeasuringFrame(const DesignData& design, const SplineCurve& hullCurve,
                         Diagnostics& diagnostics) {
  const double x0 = design.propellerCentreX, z0 = design.propellerCentreZ;
  const std::string frame =
      ": either the propeller lies inside the structure, or the design is drawn the other way "
      "round; the program measures with the stern frame forward of the propeller at smaller x "
      "and the rudder aft of it at larger x";
  double contourX = 0.0;
  evaluateCurve(hullCurve, z0, contourX);
  if (hullCurve.covers(z0) && contourX > x0) {
    diagnostics.warn(WarningKind::MeasuringFrame, "the stern contour lies at larger x than the propeller centre at the shaft's "
                     "height (x = " + metresText(contourX) + " against " + metresText(x0) + ")" +
                     frame);
  }
  const double rudderX = rudderEdgeXAtHeight(design, z0);
  if (rudderX < x0) {
    diagnostics.warn(WarningKind::MeasuringFrame, "the rudder edge lies at smaller x than the propeller centre at the shaft's "
                     "height (x = " + metresText(rudderX) + " against " + metresText(x0) + ")" +
                     frame);
  }
}

}  // namespace propclear
