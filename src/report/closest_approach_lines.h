#pragma once
// The closest approach of each structure to the turning propeller's swept
// volume as lines for the terminal (--closest), one per structure:
//   "closest approach: stern contour 0.683 m (0.149 D) at x = 2.892 m,
//    z = 3.185 m; swept volume at x = 3.571 m, r/R = 0.200 above the shaft
//    (blade thickness neglected)"
// and for a structure the swept volume overlaps, how deep it lies inside.

#include <string>
#include <vector>

#include "clearance/stern_analysis.h"
#include "design/design_data.h"

namespace propclear {

// One line per structure; one line saying so when there is no swept volume.
std::vector<std::string> closestApproachLines(const DesignData& design,
                                              const SternAnalysis& analysis);

}  // namespace propclear
