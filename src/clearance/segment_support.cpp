#include "clearance/segment_support.h"

#include <cmath>

#include "common/checked_math.h"
#include "common/format_number.h"

namespace propclear {

StationList absoluteStations(double centre, int sign, const StationList& offsets,
                             int stationCount) {
  StationList values{};
  for (int i = 1; i <= stationCount; ++i) {
    values[i] = sign > 0 ? centre + offsets[i] : centre - offsets[i];
  }
  return values;
}

TipMidpoint tipMidpoint(double t1x, double t1z, double t2x, double t2z) {
  return {midpoint(t2x, t1x), midpoint(t2z, t1z)};
}

double midpoint(double first, double second) {
  return checkedDivide(first + second, 2, "a midpoint of a clearance");
}

ClearanceSegment horizontalSegment(const char* name, double bladeX, double z, double targetX) {
  return {name, bladeX, z, targetX, z,
          requireFinite(std::abs(bladeX - targetX), "a horizontal clearance")};
}

ClearanceSegment verticalSegment(const char* name, double x, double bladeZ, double targetZ) {
  return {name, x, bladeZ, x, targetZ,
          requireFinite(std::abs(bladeZ - targetZ), "a vertical clearance")};
}

std::string metresText(double value) {
  // A warning has no field to fit: every integer place is shown, without the
  // overflow mark a report column would get.
  std::string text = formatFixed(value, 1, 3);
  if (text.back() == '%') text.pop_back();
  return text + " m";
}

std::string fractionOfDiameter(double length, double propellerDiameter) {
  std::string text =
      formatFixed(checkedDivide(length, propellerDiameter, "an overlap as a fraction of D"), 1, 3);
  if (text.back() == '%') text.pop_back();
  return text + " D";
}

}  // namespace propclear
