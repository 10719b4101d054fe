#include "rules/custom_minima.h"

#include <charconv>
#include <cmath>
#include <string>

#include "common/number_conversion.h"
#include "common/trimmed_blanks.h"
#include "rules/measured_clearance.h"

namespace propclear {

namespace {

constexpr const char* customSource = "the designer's own minima ([custom_minima] of the ship file)";
constexpr const char* customMapping = "each minimum is named by this program's clearance letter";

bool isPlainDecimal(std::string_view digits) {
  bool sawDigit = false;
  bool sawPoint = false;
  for (const char c : digits) {
    if (c >= '0' && c <= '9') {
      sawDigit = true;
    } else if (c == '.' && !sawPoint) {
      sawPoint = true;
    } else {
      return false;
    }
  }
  return sawDigit;
}

}  // namespace

std::optional<MinimumText> parseMinimumText(std::string_view text) {
  text = trimmedBlanks(text);
  if (text.empty()) return std::nullopt;
  const char unitLetter = text.back();
  if (unitLetter != 'D' && unitLetter != 'm') return std::nullopt;
  const std::string_view number = trimmedBlanks(text.substr(0, text.size() - 1));
  if (!isPlainDecimal(number)) return std::nullopt;
  double value = 0.0;
  const auto result = readDouble(number.data(), number.data() + number.size(), value);
  if (result.ec != std::errc() || result.ptr != number.data() + number.size() ||
      !std::isfinite(value)) {
    return std::nullopt;
  }
  return MinimumText{value, unitLetter == 'D' ? ClearanceMinimum::Unit::PropellerDiameters
                                              : ClearanceMinimum::Unit::Metres};
}

PreparedRuleSet prepareCustomRequirements(const ShipParticulars& ship) {
  PreparedRuleSet result;
  result.summary.name = customName;
  result.summary.source = customSource;
  result.summary.mapping = customMapping;
  result.summary.diameterInput = 0;
  for (const ClearanceMinimum& minimum : ship.customMinima) {
    const bool timesDiameter = minimum.unit == ClearanceMinimum::Unit::PropellerDiameters;
    const std::string name(clearanceNames[static_cast<std::size_t>(minimum.clearance)]);
    result.summary.inputs.push_back({"custom_minima." + name, name, minimum.text, ""});
    const RequirementTerm term{
        minimum.value, timesDiameter ? RequirementScale::Diameter : RequirementScale::Metres,
        minimum.text};
    result.requirements.push_back({minimum.clearance, name, term, {}, false, {}});
  }
  return result;
}

}  // namespace propclear
