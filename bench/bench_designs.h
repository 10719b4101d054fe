#pragma once
// The designs the benchmarks run on: the bundled example, and the same stern
// with its contour resampled to many points, to show how the cost grows with
// the contour's size.

#include <string>

#include "design/design_data.h"
#include "geometry/spline_curve.h"

namespace propclear::bench {

// The largest contour a design file may hold: the size the speed targets name.
inline constexpr int denseContourPoints = maxContourPoints;

// The bundled example examples/Norvalek.TSK where it exists, else the sample
// stern of the test support library.
DesignData exampleDesign();
// Where exampleDesign() came from, for the benchmark's context line.
std::string exampleDesignSource();

// The sample stern with its contour resampled along its fitted curve to
// `pointCount` points of evenly rising height (2 <= pointCount <=
// maxContourPoints), all ordinary points.
DesignData resampledDesign(int pointCount);

// Turns every `spacing`-th point of the stern contour into a break point.
void addBreakPoints(DesignData& design, int spacing);

// A smooth curve of `knotCount` rising knots: knots and values (row 1) set,
// nothing fitted yet.
SplineCurve smoothCurve(int knotCount);

}  // namespace propclear::bench
