#include "report/closest_approach_lines.h"

#include "clearance/segment_support.h"
#include "common/format_number.h"

namespace propclear {

namespace {

constexpr const char* thicknessNote = " (blade thickness neglected)";

std::string pointText(double x, double z) {
  return "x = " + metresText(x) + ", z = " + metresText(z);
}

// The stern contour's approach to the hub, which has no blade thickness.
std::string hubLineOf(const ClosestApproach& approach, double propellerDiameter) {
  std::string line = std::string("closest approach: ") + structureName(approach.structure) +
                     " to the hub ";
  if (approach.overlaps) {
    return line + "overlaps it: " + pointText(approach.structureX, approach.structureZ) +
           " lies " + metresText(approach.overlapDepth) + " (" +
           fractionOfDiameter(approach.overlapDepth, propellerDiameter) + ") inside it";
  }
  return line + metresText(approach.distance) + " (" +
         fractionOfDiameter(approach.distance, propellerDiameter) + ") at " +
         pointText(approach.structureX, approach.structureZ) + "; hub at x = " +
         metresText(approach.sweptX) + ", z = " + metresText(approach.sweptZ);
}

std::string lineOf(const ClosestApproach& approach, double propellerDiameter) {
  if (approach.sweptPart == SweptPart::Hub) return hubLineOf(approach, propellerDiameter);
  std::string line = std::string("closest approach: ") + structureName(approach.structure) + " ";
  if (approach.overlaps) {
    return line +
           "overlaps the swept volume: " + pointText(approach.structureX, approach.structureZ) +
           " lies " + metresText(approach.overlapDepth) + " (" +
           fractionOfDiameter(approach.overlapDepth, propellerDiameter) + ") inside it" +
           thicknessNote;
  }
  return line + metresText(approach.distance) + " (" +
         fractionOfDiameter(approach.distance, propellerDiameter) + ") at " +
         pointText(approach.structureX, approach.structureZ) +
         "; swept volume at x = " + metresText(approach.sweptX) +
         ", r/R = " + formatFixed(approach.radiusRatio, 1, 3) +
         (approach.aboveShaft ? " above" : " below") + " the shaft" + thicknessNote;
}

}  // namespace

std::vector<std::string> closestApproachLines(const DesignData& design,
                                              const SternAnalysis& analysis) {
  if (!analysis.sweptVolume) {
    return {
        "closest approach: none, the propeller sweeps no volume (its diameter is not "
        "positive)"};
  }
  std::vector<std::string> lines;
  for (const ClosestApproach& approach : analysis.closestApproaches) {
    lines.push_back(lineOf(approach, design.propellerDiameter));
  }
  if (analysis.hubApproach) lines.push_back(lineOf(*analysis.hubApproach, design.propellerDiameter));
  return lines;
}

}  // namespace propclear
