#include "geometry/blade_outline.h"

#include <cmath>

#include "common/checked_math.h"
#include "common/portable_trig.h"

namespace propclear {

namespace {

// Wageningen B-series, four blades: radial station r/R, index 1..11 (0 unused).
constexpr StationList bSeriesRadiusRatio = {0.0,  0.2, 0.3, 0.4,  0.5,   0.6,
                                            0.7,  0.8, 0.9, 0.95, 0.975, 1.0};
// Wageningen B-series, four blades: chord factor c·Z/(D·Ear) per station.
constexpr StationList bSeriesChordFactor = {0.0,   1.662, 1.882, 2.05,  2.152, 2.187,
                                            2.144, 1.97,  1.582, 1.016, 0.574, 0.05};
// Wageningen B-series, four blades: edge factor a/c (generator line to edge 2) per station.
constexpr StationList bSeriesEdgeFactor = {0.0,   0.617, 0.613, 0.601, 0.586, 0.561,
                                           0.524, 0.463, 0.351, 0.22,  0.123, 0.005};
static_assert(bSeriesRadiusRatio.size() == bladeStationCount + 1);
static_assert(bSeriesChordFactor.size() == bladeStationCount + 1);
static_assert(bSeriesEdgeFactor.size() == bladeStationCount + 1);

// The outline is established with these decimal values, not the exact ones;
// the two are deliberately not consistent with each other.
constexpr double piForRake = 3.141592654;
constexpr double twoPiForLead = 6.2831853;

constexpr const char* outlineWhat = "the blade outline";

struct StationChord {
  double chord = 0.0;         // c, m
  double edgeDistance = 0.0;  // a, m: generator line to edge 2 along the chord
};

StationChord chordAt(int station, double propellerDiameter, double areaRatio) {
  StationChord result;
  result.chord = checkedDivide(propellerDiameter * bSeriesChordFactor[station] * areaRatio,
                               static_cast<double>(bladeCount), outlineWhat);
  result.edgeDistance = result.chord * bSeriesEdgeFactor[station];
  return result;
}

double radiusAt(int station, double propellerDiameter) {
  return checkedDivide(bSeriesRadiusRatio[station] * propellerDiameter, 2.0, outlineWhat);
}

// The rake's offset per metre of radius. The cosine and tangent are the
// program's own, with the same bits on every system.
double rakeSlopeOf(double rakeAngle) {
  const double rakeRadians = checkedDivide(piForRake * rakeAngle, 180.0, outlineWhat);
  return portableTan(rakeRadians);
}

double rakeOffsetAt(double radius, double rakeSlope) {
  return requireFinite(rakeSlope * radius, outlineWhat);
}

struct SideViewPoint {
  double x = 0.0;
  double z = 0.0;
};

// A chord point at distance s along the helix of radius r and lead h per
// radian, projected into the side view.
SideViewPoint sideViewPointAt(double chordPosition, double radius, double leadPerRadian,
                              double rakeOffset) {
  const double helixFactor =
      std::sqrt(requireFinite(leadPerRadian * leadPerRadian + radius * radius, outlineWhat));
  // Radius and lead vanish for a zero diameter; their squares vanish too for
  // a diameter below about 1e-160 m, whose square underflows.
  const double angle = checkedDivide(
      chordPosition, helixFactor,
      "the blade outline (edge angle at zero radius and lead: propeller diameter 0, or too "
      "small for its square to be represented)");
  SideViewPoint point;
  point.x = requireFinite(rakeOffset - leadPerRadian * angle, outlineWhat);
  point.z = radius * portableCos(angle);
  return point;
}

}  // namespace

BladeOutline buildBladeOutline(double propellerDiameter, double pitchRatio, double areaRatio,
                               double rakeAngle) {
  BladeOutline outline;
  std::array<StationChord, bladeStationCount + 1> chords{};
  for (int i = 1; i <= bladeStationCount; ++i) {
    chords[i] = chordAt(i, propellerDiameter, areaRatio);
  }
  StationList rakeOffset{};
  const double pitch = pitchRatio * propellerDiameter;
  const double rakeSlope = rakeSlopeOf(rakeAngle);
  for (int i = 1; i <= bladeStationCount; ++i) {
    outline.stationRadius[i] = radiusAt(i, propellerDiameter);
    rakeOffset[i] = rakeOffsetAt(outline.stationRadius[i], rakeSlope);
  }
  const double leadPerRadian = checkedDivide(pitch, twoPiForLead, outlineWhat);
  for (int i = 1; i <= bladeStationCount; ++i) {
    const double radius = outline.stationRadius[i];
    const SideViewPoint edge1 = sideViewPointAt(chords[i].edgeDistance - chords[i].chord, radius,
                                                leadPerRadian, rakeOffset[i]);
    const SideViewPoint edge2 =
        sideViewPointAt(chords[i].edgeDistance, radius, leadPerRadian, rakeOffset[i]);
    outline.edge1X[i] = edge1.x;
    outline.edge1Z[i] = edge1.z;
    outline.edge2X[i] = edge2.x;
    outline.edge2Z[i] = edge2.z;
  }
  outline.stationCount = bladeStationCount;
  return outline;
}

}  // namespace propclear
