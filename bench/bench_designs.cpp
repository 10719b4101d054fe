#include "bench_designs.h"

#include <cmath>
#include <filesystem>

#include "common/checked_math.h"
#include "design/read_design_data.h"
#include "geometry/evaluate_curve.h"
#include "geometry/set_up_contour.h"
#include "sample_design.h"
#include "test_support.h"

namespace propclear::bench {

namespace {

std::filesystem::path examplePath() { return test::examplesDir() / designFileName; }

// Knot spacing and shape of the smooth benchmark curve, in curve units.
constexpr double smoothKnotSpacing = 0.05;
constexpr double smoothWaveNumber = 0.7;

}  // namespace

DesignData exampleDesign() {
  if (!std::filesystem::exists(examplePath())) return test::sampleDesign();
  return readDesignData(examplePath()).design;
}

std::string exampleDesignSource() {
  if (!std::filesystem::exists(examplePath())) return "sample stern of tests/support (no example yet)";
  return examplePath().string();
}

DesignData resampledDesign(int pointCount) {
  DesignData design = test::sampleDesign();
  const SplineCurve contour = setUpContour(design, sternContourRow);
  const double zFirst = contour.knot(1);
  const double zLast = contour.knot(contour.knotCount());
  for (int k = 1; k <= pointCount; ++k) {
    const double z = k == pointCount
                         ? zLast
                         : zFirst + checkedDivide((zLast - zFirst) * (k - 1), pointCount - 1,
                                                  "the resampled contour height");
    double x = 0.0;
    evaluateCurve(contour, z, x);
    design.contourZ[sternContourRow][k] = z;
    design.contourX[sternContourRow][k] = x;
    design.contourCode[sternContourRow][k] = 1.0;
  }
  design.contourPointCount[sternContourRow] = pointCount;
  return design;
}

void addBreakPoints(DesignData& design, int spacing) {
  const int n = design.contourPointCount[sternContourRow];
  for (int k = spacing; k < n; k += spacing) design.contourCode[sternContourRow][k] = breakCode;
}

SplineCurve smoothCurve(int knotCount) {
  SplineCurve curve(knotCount);
  for (int i = 1; i <= knotCount; ++i) {
    const double t = smoothKnotSpacing * (i - 1);
    curve.knots()[i] = t;
    curve.coef(1)[i] = 1.0 + 0.5 * t + std::sin(smoothWaveNumber * t);
  }
  return curve;
}

}  // namespace propclear::bench
