#pragma once
// A small, plausible stern for tests that need whole design data: a
// 4.6 m propeller between a stern frame (smaller x) and a rudder (larger x).

#include <initializer_list>
#include <string>

#include "design/design_data.h"

namespace propclear::test {

struct ContourPoint {
  double z;
  double x;
  double code;
};

// Sets the stern contour to `points` and recomputes the plot extent.
void setContour(DesignData& design, std::initializer_list<ContourPoint> points);

DesignData sampleDesign();

}  // namespace propclear::test

namespace propclear::test {

// The design file text for `design` in the established line layout, with
// captions on the skipped lines and CR LF line ends.
std::string designFileText(const DesignData& design);

}  // namespace propclear::test
