#pragma once
// Small pieces shared by the upper and lower blade clearances.

#include <string>

#include "clearance/clearance_segment.h"
#include "geometry/blade_outline.h"

namespace propclear {

// centre + offset (sign +1) or centre - offset (sign -1) for stations 1..stationCount.
StationList absoluteStations(double centre, int sign, const StationList& offsets,
                             int stationCount);

struct TipMidpoint {
  double x;
  double z;
};
// Midpoint of the two tip points T1 and T2, formed as (T2 + T1) / 2.
TipMidpoint tipMidpoint(double t1x, double t1z, double t2x, double t2z);

// (first + second) / 2, in that order.
double midpoint(double first, double second);

// A horizontal segment at height z from the blade at bladeX to targetX.
ClearanceSegment horizontalSegment(const char* name, double bladeX, double z, double targetX);
// A vertical segment at x from the blade at bladeZ to targetZ.
ClearanceSegment verticalSegment(const char* name, double x, double bladeZ, double targetZ);

// A length in metres with three decimals and its unit, for warnings.
std::string metresText(double value);
// A length as a fraction of the propeller diameter, three decimals and " D".
std::string fractionOfDiameter(double length, double propellerDiameter);

}  // namespace propclear
