#include "sheet/approach_marks.h"

namespace propclear {

std::vector<ApproachMark> approachMarksOf(const SternAnalysis& analysis) {
  std::vector<ApproachMark> marks;
  const auto mark = [&marks](const ClosestApproach& approach) {
    marks.push_back(
        {{{approach.structureX, approach.structureZ}, {approach.sweptX, approach.sweptZ}},
         approach.distancePerDiameter,
         approach.overlaps,
         approach.sweptPart == SweptPart::Hub});
  };
  for (const ClosestApproach& approach : analysis.closestApproaches) mark(approach);
  if (analysis.hubApproach) mark(*analysis.hubApproach);
  return marks;
}

}  // namespace propclear
