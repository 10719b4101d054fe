#pragma once
// Bisection for the abscissa at which a fitted spline curve takes a target
// value: the height at which the stern contour reaches the blade tip's x.
// The search keeps the established program's stopping rules exactly: it stops
// when the half-width or the remaining difference falls below the tolerance,
// gives up when the left end has closed up on the right end (within 1 mm)
// while the value is still more than 1 mm off, and may end with neither after
// its iterations. An evaluation off the curve keeps the previous value.

#include "geometry/spline_curve.h"

namespace propclear {

class OutputFile;

enum class RootStatus {
  Found,         // `root` holds the abscissa
  GivenUp,       // the target is not crossed between the ends
  NotConverged,  // the iterations ran out without either
};

struct RootSearch {
  RootStatus status = RootStatus::NotConverged;
  double root = 0.0;  // meaningful only when found
};

// Searches [left, right] for curve(t) == target. With a trace file, the
// iteration trace (a blank line, a header, a line per evaluated midpoint) is
// written into it.
RootSearch findRoot(const SplineCurve& curve, double target, double left, double right,
                    double tolerance, int maxIterations, OutputFile* traceFile = nullptr);

}  // namespace propclear
