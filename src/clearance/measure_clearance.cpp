// The measuring operations shared by the upper and lower blade clearances.

#include <cmath>
#include <string>

#include "clearance/compute_clearances.h"
#include "common/checked_math.h"
#include "geometry/evaluate_curve.h"
#include "geometry/fit_curve.h"
#include "geometry/set_up_contour.h"
#include "clearance/segment_support.h"
#include "report/format_number.h"

namespace propclear {

namespace {

// Whether the fitted curve has a piece for t (else evaluation leaves its output alone).
bool curveCovers(int n, double t, const KnotArray& knot) {
  if (n < 1) return false;
  if (t == knot[1] || t == knot[n]) return true;
  for (int i = 1; i <= n - 1; ++i) {
    if (knot[i] < t && t <= knot[i + 1]) return true;
  }
  return false;
}

}  // namespace

double edgeCoordinateAt07R(ClearanceContext& context, const StationList& values) {
  const BladeOutline& outline = context.outline;
  CurveWorkspace& ws = context.workspace;
  for (int i = 1; i <= outline.stationCount; ++i) {
    ws.knot[i] = outline.stationRadius[i];
    ws.coef[1][i] = values[i];
  }
  fitCurve(outline.stationCount, ws.knot, ws.coef, notAKnotEnd, notAKnotEnd);
  double y = 0.0;
  evaluateCurve(outline.stationCount, 0.35 * context.design.propellerDiameter, ws.knot, ws.coef, y);
  return y;
}

double hullXAtHeight(ClearanceContext& context, double z) {
  CurveWorkspace& ws = context.workspace;
  const int n = setUpContour(context.design, sternContourRow, ws);
  fitCurve(n, ws.knot, ws.coef, notAKnotEnd, notAKnotEnd);
  double y = 0.0;
  evaluateCurve(n, z, ws.knot, ws.coef, y);
  if (!curveCovers(n, z, ws.knot)) {
    context.diagnostics.warn("the height z = " + metresText(z) +
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

void showClearance(DrawingSurface& surface, const ClearanceSegment& segment, int colour,
                   double labelX, double labelZ, const std::string& labelText) {
  surface.drawLine(segment.bladeX, segment.bladeZ, segment.targetX, segment.targetZ, colour);
  surface.moveTextCursor(labelX, labelZ);
  surface.printText(labelText);
}

}  // namespace propclear
