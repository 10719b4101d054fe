#include "sheet/clearance_labels.h"

#include "common/checked_math.h"
#include "common/format_number.h"

namespace propclear {

std::string valuedLabel(const AssessedClearance& clearance, double propellerDiameter) {
  const std::optional<double>& gap = clearance.signedGap;
  const double metres = gap ? *gap : clearance.segment.length;
  const double ratio = checkedDivide(metres, propellerDiameter, "a clearance as a multiple of D");
  std::string text = std::string(clearance.name) + " " + formatRounded(metres, 3) + " m / " +
                     formatRounded(ratio, 3) + "D";
  if (!gap) text += " to a stand-in";
  if (gap && *gap < 0.0) text += " overlap";
  return text;
}

std::string approachLabel(const ClosestApproach& approach) {
  std::string name = approach.structure == SternStructure::SternContour ? "contour"
                     : approach.structure == SternStructure::RudderEdge ? "rudder"
                                                                          : "heel";
  if (approach.sweptPart == SweptPart::Hub) name += " to hub";
  if (approach.overlaps) return name + " cut " + formatRounded(approach.overlapDepth, 3) + " m";
  return name + " " + formatRounded(approach.distance, 3) + " m / " +
         formatRounded(approach.distancePerDiameter, 3) + "D";
}

}  // namespace propclear
