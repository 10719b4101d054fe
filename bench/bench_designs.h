#pragma once
// The designs the benchmarks run on: the bundled example, and the same stern
// with its contour resampled to many points, to show how the cost grows with
// the contour's size.

#include <string>

#include "clearance/clearance_segment.h"
#include "design/design_data.h"
#include "geometry/blade_outline.h"
#include "geometry/curve_workspace.h"
#include "plot/drawing_surface.h"

namespace propclear::bench {

// The largest contour a design file may hold: the size the speed targets name.
inline constexpr int denseContourPoints = maxContourPoints;

// The bundled example examples/Norvalek.TSK where it exists, else the sample
// stern of the test support library; plot extent computed.
DesignData exampleDesign();
// Where exampleDesign() came from, for the benchmark's context line.
std::string exampleDesignSource();

// The sample stern with its contour resampled along its fitted curve to
// `pointCount` points of evenly rising height (2 <= pointCount <=
// maxContourPoints), all ordinary points; plot extent computed.
DesignData resampledDesign(int pointCount);

// Turns every `spacing`-th point of the stern contour into a break point.
void addBreakPoints(DesignData& design, int spacing);

// The blade outline of the design's propeller.
BladeOutline outlineOf(const DesignData& design);

// The six clearances, as the run computes them after the plot: upper blade,
// then lower blade, drawn into `surface`. Returns how many warnings the
// analysis gave (a benchmark of the normal path expects none).
int computeAllClearances(const DesignData& design, const BladeOutline& outline,
                         CurveWorkspace& workspace, DrawingSurface& surface,
                         ClearanceSet& clearances);

// A smooth curve of `knotCount` rising knots in the workspace: knots and
// values (row 1) set, nothing fitted yet.
void loadSmoothCurve(CurveWorkspace& workspace, int knotCount);

}  // namespace propclear::bench
