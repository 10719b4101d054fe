#pragma once
// One editable value of a design, named for editors: the propeller's data,
// a rudder corner's x or z, a stern contour point's z, x or code. Reading,
// writing and checking the text a designer types for it.

#include <optional>
#include <string>
#include <string_view>

#include "design/design_data.h"

namespace propclear {

enum class DesignField {
  PropellerCentreX,
  PropellerCentreZ,
  WaterlineHeight,
  PropellerDiameter,
  HubDiameter,
  PitchRatio,
  AreaRatio,
  RakeAngle,
  RudderX,   // index: corner 1..4
  RudderZ,   // index: corner 1..4
  ContourZ,  // index: stern contour point 1..n
  ContourX,
  ContourCode,
};

struct FieldRef {
  DesignField field = DesignField::PropellerCentreX;
  int index = 0;  // the corner or point, from 1; 0 for the propeller's data

  friend bool operator==(const FieldRef&, const FieldRef&) = default;
};

// The value of `ref` in `design`; the corner or point must exist.
double fieldValue(const DesignData& design, FieldRef ref);
void setFieldValue(DesignData& design, FieldRef ref, double value);

// A name for messages: "D", "rudder corner 2 x", "contour point 5 code".
std::string fieldName(FieldRef ref);

// No ship's stern measures more than this in any direction from the origin;
// a larger coordinate or length is a typing slip.
inline constexpr double maxFieldMetres = 10000.0;

// The value typed for `ref`, or the reason it is refused: text that is not a
// number of the design file's syntax, a length or coordinate beyond
// maxFieldMetres, a diameter that is not positive, a negative hub diameter,
// ratios that are not positive, a rake angle outside (-90, 90) degrees, or
// the contour terminator code 99 as a point's code.
struct FieldEntry {
  std::optional<double> value;
  std::string fault;  // empty when value is set
};
FieldEntry checkFieldText(FieldRef ref, std::string_view text);

}  // namespace propclear
