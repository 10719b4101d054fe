#pragma once

#include "geometry/curve_workspace.h"

namespace propclear {

class OutputFile;

inline constexpr int rootFound = 0;
inline constexpr int rootGivenUp = -1;
inline constexpr int traceOn = 1;

// Bisection for the abscissa in [left, right] where the fitted curve takes the
// value `target`. root and status are written only as the method defines
// (status rootFound with root, or rootGivenUp alone); otherwise they keep the
// caller's values. With traceSwitch == traceOn the iteration trace is written
// to traceFile (which must then be open).
void findRoot(int n, const KnotArray& knot, const CoefTable& coef, double target, double left,
              double right, double tolerance, double& root, int& status, int maxIterations,
              int traceSwitch, OutputFile* traceFile = nullptr);

}  // namespace propclear
