#include "clearance/blade_edge_curves.h"

#include <utility>

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
// two faults the same one is reported first; each fitted curve is moved into
// place, not assigned over an empty one.
BladeEdgeCurves fitBladeEdgeCurves(const DesignData& design, const BladeOutline& b) {
  const double x0 = design.propellerCentreX, z0 = design.propellerCentreZ;
  const auto edge = [&](int sign, const StationList& x, const StationList& z) {
    SplineCurve xCurve = fitOverRadius(b, absoluteStations(x0, sign, x));
    return EdgeCurves{std::move(xCurve), fitOverRadius(b, absoluteStations(z0, sign, z))};
  };
  EdgeCurves upper2 = edge(+1, b.edge2X, b.edge2Z);
  EdgeCurves upper1 = edge(+1, b.edge1X, b.edge1Z);
  EdgeCurves lower1 = edge(-1, b.edge1X, b.edge1Z);
  EdgeCurves lower2 = edge(-1, b.edge2X, b.edge2Z);
  return BladeEdgeCurves{{std::move(upper1), std::move(upper2)},
                         {std::move(lower1), std::move(lower2)}};
}

}  // namespace propclear
