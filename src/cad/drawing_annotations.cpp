#include "cad/drawing_annotations.h"

#include "common/checked_math.h"
#include "common/version.h"
#include "common/format_number.h"

namespace propclear {

std::string drawingCreditLine() {
  return std::string("Drawn by ") + programName + " " + programVersion + ", " + programLicence;
}

std::string clearanceLabel(const ClearanceSegment& segment, const ClearanceStyle& style,
                           double propellerDiameter) {
  const double ratio =
      checkedDivide(segment.length, propellerDiameter, "a clearance as a multiple of D");
  return style.labelPrefix + formatFixed(ratio, 1, 3) + "*D";
}

}  // namespace propclear
