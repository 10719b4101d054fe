#pragma once
// The design values a study varies, by the names the command line uses:
// diameter, hub-diameter, pitch-ratio, area-ratio, rake, centre-x, centre-z,
// rudder-x and rudder-z. The rudder parameters shift all four rudder corners
// by the given distance from where the design file puts them (0: as in the
// file); the others are the design's own values.

#include <span>
#include <string>
#include <string_view>

#include "design/design_data.h"

namespace propclear {

enum class ParameterKind {
  Size,      // a length or ratio that scales the propeller: diameter, P/D, ...
  Position,  // a coordinate of the propeller centre, m
  Shift,     // a displacement of the rudder from the file's position, m
  Angle,     // degrees
};

struct StudyParameter {
  std::string_view name;  // "diameter"
  std::string_view unit;  // "m", "deg", or empty for a ratio
  ParameterKind kind;
  // The value in the design as read from the file (0 for a shift).
  double (*valueIn)(const DesignData& fileDesign);
  // Sets the value on a copy of the file's design. Only the propeller's
  // values, its centre and the rudder corners are ever changed: these are
  // what editDesignInPlace sets back before each design.
  void (*applyTo)(DesignData& design, double value);
  // What a solve resolves: the step of its scan is ten of these; its
  // bisection ends at one (0.1 mm for lengths).
  double resolution;
  // How a plot's headline names it: "D", "P/D", or the name.
  std::string_view symbol;
};

std::span<const StudyParameter> studyParameters();

// The parameter named `name`, or nullptr.
const StudyParameter* findStudyParameter(std::string_view name);

// "diameter, hub-diameter, ..., rudder-z", for messages and help.
std::string studyParameterList();

// A value for people to read: the shortest text that reads back as exactly
// `value`, without an exponent for ordinary magnitudes ("0.0001", not
// "1e-04").
std::string readableNumber(double value);

// "4.6 m", "0.8" or "10 deg": a readable value with the parameter's unit.
std::string valueWithUnit(const StudyParameter& parameter, double value);

// "3.757 m": to three decimals (a millimetre for lengths), with the unit;
// for an answer found between grid values.
std::string valueToThousandths(const StudyParameter& parameter, double value);

}  // namespace propclear
