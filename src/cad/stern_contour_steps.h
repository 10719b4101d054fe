#pragma once
// The stern contour as the plot draws it: the fitted curve sampled from the
// first point upward in steps of plotRange / 100.

#include <vector>

#include "cad/drawing_point.h"
#include "design/design_data.h"
#include "geometry/curve_workspace.h"

namespace propclear {

// The ends of the plot's contour lines in drawing order: the first contour
// point, then one point per height step while the height stays at or below
// the last contour point's. A single point means the plot draws no line.
// Sets the stern contour up in the workspace. A contour of no extent is an
// error, as in the plot.
std::vector<DrawingPoint> sternContourSteps(const DesignData& design, CurveWorkspace& workspace);

}  // namespace propclear
