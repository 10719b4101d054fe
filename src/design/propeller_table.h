#pragma once
// A propeller as its designer tabulates it, from the propeller file beside
// the design file ("Norvalek.propeller.toml" beside "Norvalek.TSK"): the
// number of blades, the hub's length, and the blade's expanded outline at
// radial stations from root to tip. Without one the blade is the four-bladed
// B-series outline built from the design file's main data.

#include <optional>
#include <string>
#include <vector>

namespace propclear {

// The most stations a table may hold.
inline constexpr int maxOutlineStations = 40;
// The fewest, for an outline the not-a-knot splines can carry.
inline constexpr int minOutlineStations = 5;
inline constexpr int minPropellerBlades = 3;
inline constexpr int maxPropellerBlades = 7;

struct PropellerTable {
  std::string sourceName;  // the file's name, for messages
  int bladeCount = 4;      // Z
  long bladeCountLine = 0;  // the file's line that gives it, for messages; 0 for none
  // Along the shaft; the hub is a cylinder of the design's Dh centred on the
  // propeller centre, measured as part of the swept solid. None: drawn 1.5 Dh
  // long as without a propeller file, and not measured.
  std::optional<double> hubLengthMetres;
  // Per station, root to tip; all of one length.
  std::vector<double> radiusRatio;          // r/R, rising, the last 1
  std::vector<double> chordPerDiameter;     // c/D, >= 0
  std::vector<double> edge2PerChord;        // a/c: reference line to edge 2 along the helix
  std::vector<double> skewDegrees;          // the reference line's angle about the shaft, towards edge 1
  // Optional columns, empty when not given: the design's P/D at every
  // station, and its rake angle's offset tan(rake) r.
  std::vector<double> pitchRatio;       // P/D at the station
  std::vector<double> rakePerDiameter;  // the reference line's axial offset / D
};

}  // namespace propclear
