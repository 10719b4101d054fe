#include "clearance/blade_edge_curves.h"

#include <array>
#include <utility>

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

// All eight over the same radii, fitted at once, in the order the clearances
// first read them (a, c, a', c'), so that of two faults the same one is
// reported first; each fitted curve is moved into place, not assigned over
// an empty one.
BladeEdgeCurves fitBladeEdgeCurves(const DesignData& design, const BladeOutline& b) {
  const double x0 = design.propellerCentreX, z0 = design.propellerCentreZ;
  std::array<SplineCurve, 8> curves{
      overStationRadii(b, absoluteStations(x0, +1, b.edge2X)),
      overStationRadii(b, absoluteStations(z0, +1, b.edge2Z)),
      overStationRadii(b, absoluteStations(x0, +1, b.edge1X)),
      overStationRadii(b, absoluteStations(z0, +1, b.edge1Z)),
      overStationRadii(b, absoluteStations(x0, -1, b.edge1X)),
      overStationRadii(b, absoluteStations(z0, -1, b.edge1Z)),
      overStationRadii(b, absoluteStations(x0, -1, b.edge2X)),
      overStationRadii(b, absoluteStations(z0, -1, b.edge2Z)),
  };
  fitNotAKnotCurves(curves);
  const auto edge = [&](std::size_t first) {
    return EdgeCurves{std::move(curves[first]), std::move(curves[first + 1])};
  };
  return BladeEdgeCurves{{edge(2), edge(0)}, {edge(4), edge(6)}};
}

}  // namespace propclear
