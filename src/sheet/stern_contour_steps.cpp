#include "sheet/stern_contour_steps.h"

#include "common/checked_math.h"
#include "geometry/evaluate_curve.h"

namespace propclear {

std::vector<DrawingPoint> sternContourSteps(const SternAnalysis& analysis) {
  const SplineCurve& contour = analysis.contourCurve;
  const int n = contour.knotCount();
  const double step = checkedDivide(analysis.extent.range, 100.0, "the contour step of the drawing");
  std::vector<DrawingPoint> points{{contour.value(1), contour.knot(1)}};
  double x = 0.0;  // kept from step to step where the curve has no piece
  for (double z = contour.knot(1) + step; z <= contour.knot(n); z += step) {
    evaluateCurve(contour, z, x);
    points.push_back({x, z});
  }
  return points;
}

}  // namespace propclear
