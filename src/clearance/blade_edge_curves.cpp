#include "clearance/blade_edge_curves.h"

#include "clearance/segment_support.h"
#include "geometry/fit_curve.h"

namespace propclear {

SplineCurve fitOverRadius(const BladeOutline& outline, const StationList& values) {
  SplineCurve curve(outline.stationCount);
  for (int i = 1; i <= outline.stationCount; ++i) {
    curve.knots()[i] = outline.stationRadius[i];
    curve.coef(1)[i] = values[i];
  }
  fitCurve(curve, EndCondition::NotAKnot, EndCondition::NotAKnot);
  return curve;
}

// In the order the clearances first read them (a, c, a', c'), so that of
// two faults the same one is reported first.
BladeEdgeCurves fitBladeEdgeCurves(const DesignData& design, const BladeOutline& b) {
  const double x0 = design.propellerCentreX, z0 = design.propellerCentreZ;
  const auto edge = [&](int sign, const StationList& x, const StationList& z) {
    EdgeCurves curves;
    curves.x = fitOverRadius(b, absoluteStations(x0, sign, x));
    curves.z = fitOverRadius(b, absoluteStations(z0, sign, z));
    return curves;
  };
  BladeEdgeCurves curves;
  curves.upper[1] = edge(+1, b.edge2X, b.edge2Z);
  curves.upper[0] = edge(+1, b.edge1X, b.edge1Z);
  curves.lower[0] = edge(-1, b.edge1X, b.edge1Z);
  curves.lower[1] = edge(-1, b.edge2X, b.edge2Z);
  return curves;
}

}  // namespace propclear
