// The measuring operations shared by the upper and lower blade clearances.

#include <cmath>

#include "clearance/measuring_operations.h"
#include "clearance/segment_support.h"
#include "common/checked_math.h"
#include "geometry/evaluate_curve.h"

namespace propclear {

double edgeCoordinateAt07R(const MeasuringContext& context, const SplineCurve& overRadius) {
  double y = 0.0;
  evaluateCurve(overRadius, measuringRadiusPerDiameter * context.design.propellerDiameter, y);
  return y;
}

double hullXAtHeight(const MeasuringContext& context, double z) {
  double y = 0.0;
  evaluateCurve(context.hullCurve, z, y);
  if (!context.hullCurve.covers(z)) {
    context.diagnostics.warn(WarningKind::StandInTarget, "the height z = " + metresText(z) +
                             " lies outside the stern contour's rising heights; the clearance there "
                             "is measured to x = 0");
  }
  return y;
}

double rudderEdgeXAtHeight(const DesignData& design, double z) {
  const double x3 = design.rudderX[3], z3 = design.rudderZ[3];
  const double x4 = design.rudderX[4], z4 = design.rudderZ[4];
  const double dx = x3 - x4;
  const double dz = z3 - z4;
  if (std::abs(dx) > 0.0001) {
    const double slope = checkedDivide(dz, dx, "the slope of the rudder edge");
    return x4 + checkedDivide(z - z4, slope,
                              "the rudder edge at the blade's height (rudder corners 3 and 4 lie at "
                              "the same height: the edge is horizontal)");
  }
  return checkedDivide(x3 + x4, 2, "the vertical rudder edge");
}

}  // namespace propclear
