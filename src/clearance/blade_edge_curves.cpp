#include "clearance/blade_edge_curves.h"

#include <array>

#include "clearance/segment_support.h"
#include "geometry/fit_curves_on_shared_knots.h"

namespace propclear {

namespace {

// The station values over the station radii, not yet fitted.
SplineCurve overStationRadii(const BladeOutline& outline, const StationList& values) {
  SplineCurve curve(outline.stationCount);
  for (int i = 1; i <= outline.stationCount; ++i) {
    curve.knots()[i] = outline.stationRadius[i];
    curve.coef(1)[i] = values[i];
  }
  return curve;
}

}  // namespace

// All eight over the same radii, fitted at once in place, in the order the
// clearances first read them (a, c, a', c'), so that of two faults the same
// one is reported first.
BladeEdgeCurves fitBladeEdgeCurves(const DesignData& design, const BladeOutline& b) {
  const double x0 = design.propellerCentreX, z0 = design.propellerCentreZ;
  const auto edge = [&](int sign, const StationList& x, const StationList& z) {
    return EdgeCurves{overStationRadii(b, absoluteStations(x0, sign, x, b.stationCount)),
                      overStationRadii(b, absoluteStations(z0, sign, z, b.stationCount))};
  };
  BladeEdgeCurves edges{{edge(+1, b.edge1X, b.edge1Z), edge(+1, b.edge2X, b.edge2Z)},
                        {edge(-1, b.edge1X, b.edge1Z), edge(-1, b.edge2X, b.edge2Z)}};
  const std::array<SplineCurve*, 8> inReadingOrder{
      &edges.upper[1].x, &edges.upper[1].z, &edges.upper[0].x, &edges.upper[0].z,
      &edges.lower[0].x, &edges.lower[0].z, &edges.lower[1].x, &edges.lower[1].z};
  fitNotAKnotCurves(inReadingOrder);
  return edges;
}

}  // namespace propclear
