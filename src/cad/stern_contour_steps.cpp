#include "cad/stern_contour_steps.h"

#include "common/checked_math.h"
#include "common/run_error.h"
#include "geometry/evaluate_curve.h"
#include "geometry/set_up_contour.h"

namespace propclear {

std::vector<DrawingPoint> sternContourSteps(const DesignData& design, CurveWorkspace& workspace) {
  const double step = checkedDivide(design.plotRange, 100.0, "the contour step of the drawing");
  // A zero step would never reach the last point.
  if (!(step > 0.0)) {
    throw RunError(ErrorKind::Input,
                   "cannot draw the stern: the stern contour has no extent (no points, or all at "
                   "the origin), so the drawing has no contour step");
  }
  const int n = setUpContour(design, sternContourRow, workspace);
  std::vector<DrawingPoint> points{{workspace.coef[1][1], workspace.knot[1]}};
  double x = 0.0;  // kept from step to step where the curve has no piece, as in the plot
  for (double z = workspace.knot[1] + step; z <= workspace.knot[n]; z += step) {
    evaluateCurve(n, z, workspace.knot, workspace.coef, x);
    points.push_back({x, z});
  }
  return points;
}

}  // namespace propclear
