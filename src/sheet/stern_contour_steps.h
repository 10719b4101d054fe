#pragma once
// The stern contour as the drawings show it: the piecewise-fitted curve
// sampled from the first point upward in height steps of a hundredth of the
// plot extent.

#include <vector>

#include "clearance/stern_analysis.h"
#include "geometry/drawing_point.h"

namespace propclear {

// The ends of the contour's drawn lines in drawing order: the first contour
// point, then one point per height step (the step added again and again)
// while the height stays at or below the last contour point's. A height the
// curve has no piece for keeps the previous step's x (x = 0 at the first
// step). A single point means no line is drawn.
std::vector<DrawingPoint> sternContourSteps(const SternAnalysis& analysis);

}  // namespace propclear
