#include "geometry/blade_outline.h"

#include <cmath>

#include "common/checked_math.h"
#include "common/portable_trig.h"

namespace propclear {

namespace {

// Wageningen B-series, four blades: radial station r/R, index 1..11 (0 unused).
constexpr std::array<double, bladeStationCount + 1> bSeriesRadiusRatio = {0.0,  0.2, 0.3, 0.4,  0.5,   0.6,
                                            0.7,  0.8, 0.9, 0.95, 0.975, 1.0};
// Wageningen B-series, four blades: chord factor c·Z/(D·Ear) per station.
constexpr std::array<double, bladeStationCount + 1> bSeriesChordFactor = {0.0,   1.662, 1.882, 2.05,  2.152, 2.187,
                                            2.144, 1.97,  1.582, 1.016, 0.574, 0.05};
// Wageningen B-series, four blades: edge factor a/c (generator line to edge 2) per station.
constexpr std::array<double, bladeStationCount + 1> bSeriesEdgeFactor = {0.0,   0.617, 0.613, 0.601, 0.586, 0.561,
                                           0.524, 0.463, 0.351, 0.22,  0.123, 0.005};
static_assert(bladeStationCount <= maxOutlineStations);

// The outline is established with these decimal values, not the exact ones;
// the two are deliberately not consistent with each other.
constexpr double piForRake = 3.141592654;
constexpr double twoPiForLead = 6.2831853;

constexpr const char* outlineWhat = "the blade outline";

// One station of the expanded outline, in metres and radians.
struct OutlineStation {
  double radius = 0.0;
  double chord = 0.0;         // c
  double edgeDistance = 0.0;  // a: reference line to edge 2 along the chord
  double leadPerRadian = 0.0; // h = P / 2 pi
  double rakeOffset = 0.0;    // k(r)
  double skewAngle = 0.0;     // the reference line's turn towards edge 1
};

double radiusAt(double radiusRatio, double propellerDiameter) {
  return checkedDivide(radiusRatio * propellerDiameter, 2.0, outlineWhat);
}

double degreesToRadians(double degrees) {
  return checkedDivide(piForRake * degrees, 180.0, outlineWhat);
}

// The rake's offset per metre of radius. The cosine and tangent are the
// program's own, with the same bits on every system.
double rakeSlopeOf(double rakeAngle) { return portableTan(degreesToRadians(rakeAngle)); }

double rakeOffsetAt(double radius, double rakeSlope) {
  return requireFinite(rakeSlope * radius, outlineWhat);
}

double leadPerRadianOf(double pitchRatio, double propellerDiameter) {
  return checkedDivide(pitchRatio * propellerDiameter, twoPiForLead, outlineWhat);
}

struct SideViewPoint {
  double x = 0.0;
  double z = 0.0;
};

// A chord point at distance s along the helix of the station's radius and
// lead, projected into the side view.
SideViewPoint sideViewPointAt(double chordPosition, const OutlineStation& station) {
  const double h = station.leadPerRadian, r = station.radius;
  const double helixFactor = std::sqrt(requireFinite(h * h + r * r, outlineWhat));
  // Radius and lead vanish for a zero diameter; their squares vanish too for
  // a diameter below about 1e-160 m, whose square underflows.
  const double angle =
      -station.skewAngle +
      checkedDivide(chordPosition, helixFactor,
                    "the blade outline (edge angle at zero radius and lead: propeller diameter 0, "
                    "or too small for its square to be represented)");
  SideViewPoint point;
  point.x = requireFinite(station.rakeOffset - h * angle, outlineWhat);
  point.z = r * portableCos(angle);
  return point;
}

void projectStation(int i, const OutlineStation& station, BladeOutline& outline) {
  const SideViewPoint edge1 = sideViewPointAt(station.edgeDistance - station.chord, station);
  const SideViewPoint edge2 = sideViewPointAt(station.edgeDistance, station);
  outline.stationRadius[i] = station.radius;
  outline.edge1X[i] = edge1.x;
  outline.edge1Z[i] = edge1.z;
  outline.edge2X[i] = edge2.x;
  outline.edge2Z[i] = edge2.z;
}

}  // namespace

BladeOutline buildBladeOutline(double propellerDiameter, double pitchRatio, double areaRatio,
                               double rakeAngle) {
  BladeOutline outline;
  std::array<OutlineStation, bladeStationCount + 1> stations{};
  for (int i = 1; i <= bladeStationCount; ++i) {
    stations[i].chord =
        checkedDivide(propellerDiameter * bSeriesChordFactor[i] * areaRatio,
                      static_cast<double>(bladeCount), outlineWhat);
    stations[i].edgeDistance = stations[i].chord * bSeriesEdgeFactor[i];
  }
  const double rakeSlope = rakeSlopeOf(rakeAngle);
  for (int i = 1; i <= bladeStationCount; ++i) {
    stations[i].radius = radiusAt(bSeriesRadiusRatio[i], propellerDiameter);
    stations[i].rakeOffset = rakeOffsetAt(stations[i].radius, rakeSlope);
  }
  const double leadPerRadian = leadPerRadianOf(pitchRatio, propellerDiameter);
  for (int i = 1; i <= bladeStationCount; ++i) {
    stations[i].leadPerRadian = leadPerRadian;
    projectStation(i, stations[i], outline);
  }
  outline.stationCount = bladeStationCount;
  return outline;
}

PropellerTable bSeriesPropellerTable(double areaRatio) {
  PropellerTable table;
  table.bladeCount = bladeCount;
  for (int i = 1; i <= bladeStationCount; ++i) {
    table.radiusRatio.push_back(bSeriesRadiusRatio[i]);
    table.chordPerDiameter.push_back(checkedDivide(bSeriesChordFactor[i] * areaRatio,
                                                   static_cast<double>(bladeCount), outlineWhat));
    table.edge2PerChord.push_back(bSeriesEdgeFactor[i]);
    table.skewDegrees.push_back(0.0);
  }
  return table;
}

BladeOutline buildBladeOutline(const PropellerTable& table, double propellerDiameter,
                               double pitchRatio, double rakeAngle) {
  BladeOutline outline;
  const int count = static_cast<int>(table.radiusRatio.size());
  if (count > maxOutlineStations) throwArithmeticFault(outlineWhat, "more stations than it holds");
  for (int i = 1; i <= count; ++i) {
    const std::size_t k = static_cast<std::size_t>(i - 1);
    OutlineStation station;
    station.radius = radiusAt(table.radiusRatio[k], propellerDiameter);
    station.chord = requireFinite(table.chordPerDiameter[k] * propellerDiameter, outlineWhat);
    station.edgeDistance = station.chord * table.edge2PerChord[k];
    station.leadPerRadian = leadPerRadianOf(
        table.pitchRatio.empty() ? pitchRatio : table.pitchRatio[k], propellerDiameter);
    station.rakeOffset =
        table.rakePerDiameter.empty()
            ? rakeOffsetAt(station.radius, rakeSlopeOf(rakeAngle))
            : requireFinite(table.rakePerDiameter[k] * propellerDiameter, outlineWhat);
    station.skewAngle = degreesToRadians(table.skewDegrees[k]);
    projectStation(i, station, outline);
  }
  outline.stationCount = count;
  return outline;
}

BladeOutline bladeOutlineOf(const DesignData& design) {
  if (design.propeller) {
    return buildBladeOutline(*design.propeller, design.propellerDiameter, design.pitchRatio,
                             design.rakeAngle);
  }
  return buildBladeOutline(design.propellerDiameter, design.pitchRatio, design.areaRatio,
                           design.rakeAngle);
}

}  // namespace propclear
