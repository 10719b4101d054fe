#pragma once
// Side-view outline of one blade of a four-bladed Wageningen B-series
// propeller, standing straight up from the shaft axis.

#include <array>

namespace propclear {

inline constexpr int bladeStationCount = 11;
inline constexpr int bladeCount = 4;

using StationList = std::array<double, bladeStationCount + 1>;  // stations 1..11

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

}  // namespace propclear
