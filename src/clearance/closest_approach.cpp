#include "clearance/closest_approach.h"

#include <algorithm>

#include "clearance/lowest_along_structure.h"
#include "clearance/segment_support.h"
#include "clearance/structure_strands.h"
#include "common/checked_math.h"

namespace propclear {

namespace {

ClosestApproach approachOf(SternStructure structure, const DesignData& design,
                           const SweptVolume& volume, const std::vector<Strand>& strands) {
  const StrandPointDistance lowest = lowestAlongStrands(volume, strands);
  const Strand& strand = strands[lowest.strand];
  const MeridionalPoint p = lowest.at;
  SectionDistance toSection = lowest.section;
  toSection.signedDistance = requireFinite(toSection.signedDistance, "the closest approach");

  ClosestApproach approach;
  approach.structure = structure;
  approach.structureX = strand.xAt(lowest.t);
  approach.structureZ = strand.zAt(lowest.t);
  approach.aboveShaft = approach.structureZ >= volume.axisZ();
  approach.overlaps = toSection.signedDistance < 0.0;
  const MeridionalPoint nearest = approach.overlaps ? p : toSection.nearest;
  approach.distance = std::max(toSection.signedDistance, 0.0);
  approach.overlapDepth = std::max(-toSection.signedDistance, 0.0);
  approach.distancePerDiameter = checkedDivide(approach.distance, design.propellerDiameter,
                                               "the closest approach per diameter");
  approach.sweptX = nearest.x;
  approach.sweptZ = approach.aboveShaft ? volume.axisZ() + nearest.r : volume.axisZ() - nearest.r;
  approach.radiusRatio =
      checkedDivide(nearest.r, volume.tipRadius(), "the closest approach's radius ratio");
  return approach;
}

}  // namespace

const char* structureName(SternStructure structure) {
  switch (structure) {
    case SternStructure::SternContour:
      return "stern contour";
    case SternStructure::RudderEdge:
      return "rudder leading edge";
    case SternStructure::Heel:
      return "heel";
  }
  return "structure";
}

std::vector<ClosestApproach> closestApproaches(const DesignData& design, const SweptVolume& volume,
                                               const SplineCurve& hullCurve) {
  const double axisZ = volume.axisZ();
  std::vector<ClosestApproach> approaches;
  approaches.reserve(3);
  std::vector<Strand> contour = contourStrands(hullCurve, axisZ);
  if (!contour.empty()) {
    approaches.push_back(approachOf(SternStructure::SternContour, design, volume, contour));
  }
  approaches.push_back(
      approachOf(SternStructure::RudderEdge, design, volume, rudderStrands(design, axisZ)));
  const double heelX = design.contourX[sternContourRow][1];
  const double heelZ = design.contourZ[sternContourRow][1];
  approaches.push_back(
      approachOf(SternStructure::Heel, design, volume, {pointStrand(heelX, heelZ)}));
  return approaches;
}

void warnAboutSweptOverlaps(const std::vector<ClosestApproach>& approaches,
                            double propellerDiameter, Diagnostics& diagnostics) {
  for (const ClosestApproach& approach : approaches) {
    if (!approach.overlaps) continue;
    const bool hub = approach.sweptPart == SweptPart::Hub;
    diagnostics.warn(
        WarningKind::Overlap,
        std::string(hub ? "the propeller's hub" : "the swept volume of the turning propeller") +
        " overlaps the " +
        structureName(approach.structure) + ": its point x = " + metresText(approach.structureX) +
        ", z = " + metresText(approach.structureZ) + " lies " + metresText(approach.overlapDepth) +
        " (" + fractionOfDiameter(approach.overlapDepth, propellerDiameter) +
        ") inside it" + (hub ? "" : " (blade thickness neglected)"));
  }
}

}  // namespace propclear
