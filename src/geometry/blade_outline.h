#pragma once
// Side-view outline of one blade, standing straight up from the shaft axis:
// the four-bladed Wageningen B-series outline of the design's main data, or
// the outline the propeller file tabulates.
//
// B-series: at each of 11 radial stations r (r/R = 0.2 ... 1.0) the chord c and the
// distance a from the generator line to edge 2 come from the series'
// expanded-outline coefficients c Z / (D Ear) and a / c. The chord is laid
// along the pitch helix (lead h = P / 2 pi per radian): a chord point at
// distance s from the generator line lies at angle theta = s / sqrt(h^2 + r^2)
// about the shaft, so in the side view at
//   x = r tan(rake) - h theta,   z = r cos(theta)
// from the propeller centre (edge 1: s = a - c, edge 2: s = a). The
// athwartships offset r sin(theta) is not part of the outline.
//
// Source of the coefficients: the Wageningen B-screw series, B4 outline
// (M. W. C. Oosterveld and P. van Oossanen, Further computer-analyzed data of
// the Wageningen B-screw series, Int. Shipbuilding Progress 22 (1975); table
// reprinted in G. Kuiper, The Wageningen Propeller Series, MARIN 92-001,
// 1992). The stations r/R = 0.2 ... 0.9 are the published values; the rows
// for 0.95, 0.975 and the tip (chord factor 1.016, 0.574, 0.05; edge factor
// 0.22, 0.123, 0.005) are the established program's own, closing the outline
// towards a tip of small but non-zero chord.
//
// A tabulated outline (design/propeller_table.h) gives c / D, a / c, the
// skew angle, and optionally P / D and the rake offset per station; its
// reference line is turned by the skew angle about the shaft, towards edge 1,
// so a chord point lies at theta = -skew + s / sqrt(h^2 + r^2), at
//   x = k(r) - h theta,   z = r cos(theta),
// k(r) the rake offset. The B-series is the same projection with no skew.

#include <array>

#include "design/design_data.h"

namespace propclear {

inline constexpr int bladeStationCount = 11;
inline constexpr int bladeCount = 4;
// The radius of the horizontal clearances a, c, a' and c': 0.7R = 0.35 D.
inline constexpr double measuringRadiusPerDiameter = 0.35;

using StationList = std::array<double, maxOutlineStations + 1>;  // stations 1..stationCount

struct BladeOutline {
  int stationCount = bladeStationCount;
  StationList stationRadius{};  // m
  // Edge points as offsets (m) from the propeller centre: edge 1 is the chord
  // end at s = a - c, edge 2 the chord end at s = a.
  StationList edge1X{};
  StationList edge1Z{};
  StationList edge2X{};
  StationList edge2Z{};
};

// D in metres, P/D, Ear, rake in degrees. A zero diameter is an arithmetic
// fault (RunError).
BladeOutline buildBladeOutline(double propellerDiameter, double pitchRatio, double areaRatio,
                               double rakeAngle);

// The tabulated outline, with the design's P/D and rake angle where the
// table leaves them out.
BladeOutline buildBladeOutline(const PropellerTable& table, double propellerDiameter,
                               double pitchRatio, double rakeAngle);

// The B-series outline of the area ratio Ear as a propeller file's table:
// four blades, no skew, P/D and rake left to the design; no hub length.
PropellerTable bSeriesPropellerTable(double areaRatio);

// The design's outline: its propeller file's table, else the B-series.
BladeOutline bladeOutlineOf(const DesignData& design);

}  // namespace propclear
