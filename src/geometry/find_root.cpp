#include "geometry/find_root.h"

#include <cmath>
#include <string>

#include "common/checked_math.h"
#include "common/format_number.h"
#include "common/output_file.h"
#include "geometry/evaluate_curve.h"

namespace propclear {

namespace {

// Absolute, in the units of the abscissa and of the curve value: the left end
// has closed up on the right end while the value is still off the target.
constexpr double closedUpDistance = 0.001;
constexpr double stillOffTarget = 0.001;

constexpr const char* traceHeader = "  ITER    XL       XR       FX       F2     DELTA";
constexpr const char* traceGap = "  ";

std::string traceNumber(double value) { return formatFixed(value, 3, 3); }

void writeTraceLine(OutputFile& traceFile, int iteration, double xl, double xr, double y,
                    double target, double halfWidth) {
  std::string line = traceGap;
  line += formatTruncated(static_cast<double>(iteration), 2);
  for (const double value : {xl, xr, y, target, halfWidth}) {
    line += traceGap;
    line += traceNumber(value);
  }
  line += traceGap;
  traceFile.writeLine(line);
}

}  // namespace

RootSearch findRoot(const SplineCurve& curve, double target, double left, double right,
                    double tolerance, int maxIterations, OutputFile* traceFile) {
  constexpr const char* what = "the root search";
  // Carried from one evaluation to the next: a point off the curve keeps the previous value.
  double y = 0.0;
  double xl = left;
  double xr = right;
  const CurveEvaluation evaluation(curve);
  evaluation.at(xl, y);
  double fl = requireFinite(y - target, what);
  evaluation.at(xr, y);

  if (tolerance < 0.0) return {RootStatus::GivenUp};
  if (traceFile != nullptr) {
    traceFile->writeLine("");
    traceFile->writeLine(traceHeader);
  }

  for (int i = 1; i <= maxIterations; ++i) {
    const double halfWidth = checkedDivide(xr - xl, 2.0, what);
    const double xm = requireFinite(xl + halfWidth, what);
    if (halfWidth < tolerance) return {RootStatus::Found, xm};
    evaluation.at(xm, y);
    const double fm = requireFinite(y - target, what);
    if (traceFile != nullptr) writeTraceLine(*traceFile, i, xl, xr, y, target, halfWidth);
    if (std::abs(xl - right) < closedUpDistance && std::abs(fm) > stillOffTarget) {
      return {RootStatus::GivenUp};
    }
    if (std::abs(fm) < tolerance) return {RootStatus::Found, xm};
    // The sign product alone decides; a product of exactly 0 moves the left end.
    if (fl * fm < 0.0) {
      xr = xm;
    } else {
      xl = xm;
      fl = fm;
    }
  }
  return {RootStatus::NotConverged};
}

}  // namespace propclear
