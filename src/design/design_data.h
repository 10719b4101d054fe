#pragma once
// The design data of one stern, as read from the design file. Coordinates are
// in metres in the side view: x horizontal (aft perpendicular at x = 0),
// z vertical and upwards (base line at z = 0). Arrays are indexed from 1 in
// file order; index 0 is never used.

#include <array>
#include <optional>

#include "design/propeller_table.h"

namespace propclear {

// Room for contour points per row; the curve fitting works on arrays of this size.
inline constexpr int contourCapacity = 1000;
// The reader never stores more contour points than this.
inline constexpr int maxContourPoints = 250;
// The contour lines read before an unterminated contour is rejected.
inline constexpr int maxContourLines = maxContourPoints + 1;
// The code that ends the contour list in the file; never a point's code.
inline constexpr double contourTerminatorCode = 99.0;
// A contour point with this code is a break point of the fitted curve.
inline constexpr double breakCode = 0.0;
// The stern contour is row 1 of the contour tables; row 0 is never used.
inline constexpr int sternContourRow = 1;
inline constexpr int contourRowCount = 2;

inline constexpr int rudderCapacity = 10;
inline constexpr int rudderCornerCount = 4;

using ContourTable = std::array<std::array<double, contourCapacity + 1>, contourRowCount>;
using RudderList = std::array<double, rudderCapacity + 1>;

struct DesignData {
  double propellerCentreX = 0.0;   // m
  double propellerCentreZ = 0.0;   // m
  double waterlineHeight = 0.0;    // m, design waterline "DWL"
  double propellerDiameter = 0.0;  // m, D
  double hubDiameter = 0.0;        // m, Dh
  double pitchRatio = 0.0;         // P/D
  double areaRatio = 0.0;          // expanded blade area ratio Ear
  double rakeAngle = 0.0;          // degrees

  // Rudder corners 1..4 in file order.
  RudderList rudderX{};
  RudderList rudderZ{};
  int rudderPointCount = rudderCornerCount;

  // Stern contour, [row][point]: height, horizontal position and code of
  // points 1..contourPointCount[row] in file order.
  ContourTable contourZ{};
  ContourTable contourX{};
  ContourTable contourCode{};
  std::array<int, contourRowCount> contourPointCount{};

  // The propeller file's table, when there is one; without it the blade is
  // the four-bladed B-series outline of the main data above.
  std::optional<PropellerTable> propeller;
};

// The drawn length of the hub box and of the shaft line, in the plot and in
// the CAD drawings alike.
inline double hubLength(double hubDiameter) { return 1.5 * hubDiameter; }

// The hub's length along the shaft: the propeller file's, else the drawn one.
inline double hubLength(const DesignData& design) {
  if (design.propeller && design.propeller->hubLengthMetres) {
    return *design.propeller->hubLengthMetres;
  }
  return hubLength(design.hubDiameter);
}

}  // namespace propclear
