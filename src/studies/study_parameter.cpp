#include "studies/study_parameter.h"

#include <array>
#include <charconv>
#include <cmath>

#include "common/format_number.h"
#include "common/number_conversion.h"

namespace propclear {

namespace {

// Lengths resolve to 0.1 mm, ratios to 0.0001, angles to 0.001 degree.
constexpr double lengthResolution = 0.0001;
constexpr double ratioResolution = 0.0001;
constexpr double angleResolution = 0.001;

// Magnitudes written without an exponent; they need at most 30 characters.
constexpr double plainNumberLow = 1e-6;
constexpr double plainNumberHigh = 1e15;

void shiftRudder(RudderList& coordinates, double distance) {
  for (int corner = 1; corner <= rudderCornerCount; ++corner) coordinates[corner] += distance;
}

const std::array<StudyParameter, 9> parameters = {{
    {"diameter", "m", ParameterKind::Size,
     [](const DesignData& d) { return d.propellerDiameter; },
     [](DesignData& d, double v) { d.propellerDiameter = v; }, lengthResolution, "D"},
    {"hub-diameter", "m", ParameterKind::Size,
     [](const DesignData& d) { return d.hubDiameter; },
     [](DesignData& d, double v) { d.hubDiameter = v; }, lengthResolution, "Dh"},
    {"pitch-ratio", "", ParameterKind::Size,
     [](const DesignData& d) { return d.pitchRatio; },
     [](DesignData& d, double v) { d.pitchRatio = v; }, ratioResolution, "P/D"},
    {"area-ratio", "", ParameterKind::Size,
     [](const DesignData& d) { return d.areaRatio; },
     [](DesignData& d, double v) { d.areaRatio = v; }, ratioResolution, "Ear"},
    {"rake", "deg", ParameterKind::Angle,
     [](const DesignData& d) { return d.rakeAngle; },
     [](DesignData& d, double v) { d.rakeAngle = v; }, angleResolution, "rake"},
    {"centre-x", "m", ParameterKind::Position,
     [](const DesignData& d) { return d.propellerCentreX; },
     [](DesignData& d, double v) { d.propellerCentreX = v; }, lengthResolution, "centre-x"},
    {"centre-z", "m", ParameterKind::Position,
     [](const DesignData& d) { return d.propellerCentreZ; },
     [](DesignData& d, double v) { d.propellerCentreZ = v; }, lengthResolution, "centre-z"},
    {"rudder-x", "m", ParameterKind::Shift, [](const DesignData&) { return 0.0; },
     [](DesignData& d, double v) { shiftRudder(d.rudderX, v); }, lengthResolution, "rudder-x"},
    {"rudder-z", "m", ParameterKind::Shift, [](const DesignData&) { return 0.0; },
     [](DesignData& d, double v) { shiftRudder(d.rudderZ, v); }, lengthResolution, "rudder-z"},
}};

}  // namespace

std::span<const StudyParameter> studyParameters() { return parameters; }

const StudyParameter* findStudyParameter(std::string_view name) {
  for (const StudyParameter& parameter : parameters) {
    if (parameter.name == name) return &parameter;
  }
  return nullptr;
}

std::string studyParameterList() {
  std::string list;
  for (const StudyParameter& parameter : parameters) {
    if (!list.empty()) list += ", ";
    list += parameter.name;
  }
  return list;
}

std::string readableNumber(double value) {
  const double magnitude = std::abs(value);
  if (!(magnitude >= plainNumberLow && magnitude < plainNumberHigh) && value != 0.0) {
    return formatShortest(value, "a value");
  }
  char buffer[64];
  const auto result = writeShortestFixed(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string valueWithUnit(const StudyParameter& parameter, double value) {
  std::string text = readableNumber(value);
  if (!parameter.unit.empty()) text.append(1, ' ').append(parameter.unit);
  return text;
}

std::string valueToThousandths(const StudyParameter& parameter, double value) {
  std::string text = formatFixed(value, 1, 3);
  if (text.back() == '%') text.pop_back();  // wider than its field: every place kept
  if (!parameter.unit.empty()) text.append(1, ' ').append(parameter.unit);
  return text;
}

}  // namespace propclear
