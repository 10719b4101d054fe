#pragma once
// Whether a design's clearances can mean anything. The run warns about each
// problem, and the studies judge a design with any problem infeasible, its
// problems in its row: both read them from here.

#include <string>
#include <vector>

#include "design/design_data.h"

namespace propclear {

// A blade raked this far either way (degrees) no longer has a tip that
// clearances could be measured from.
inline constexpr double rakeLimitDegrees = 45.0;

// Each reason that makes the design meaningless, in the order of its fields;
// empty for a valid design. A negative diameter, a hub not smaller than the
// propeller, a pitch or area ratio that is not positive, a rake of 45 degrees
// or more either way, a stern contour whose heights do not rise, or one whose
// highest point lies below the upper blade tip.
std::vector<std::string> designValidityProblems(const DesignData& design);

}  // namespace propclear
