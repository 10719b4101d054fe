#pragma once
// The common extent of the drawings, derived from the stern contour alone:
// one interval serves both coordinates. Rudder, propeller and waterline do
// not take part.

#include "design/design_data.h"

namespace propclear {

struct PlotExtent {
  double min = 0.0;    // m: the smallest of 0 and every contour height and x
  double max = 0.0;    // m: the largest of 0 and every contour height and x
  double range = 0.0;  // m: max - min
};

// The extent of the stern contour; all 0 for a contour without points. An
// extent too large to represent is an arithmetic fault.
PlotExtent plotExtentOf(const DesignData& design);

}  // namespace propclear
