#pragma once
// Rule set "custom": the designer's own minima from the [custom_minima] table
// of the ship file, for a yard standard or another society's figures. Each
// clearance's minimum is written as a multiple of D ("0.25D") or in metres
// ("1.10 m").

#include <optional>
#include <string_view>

#include "rules/rule_set.h"
#include "rules/rule_set_requirements.h"
#include "rules/ship_particulars.h"

namespace propclear {

inline constexpr const char* customName = "custom";

// The value and unit of a minimum written as "0.25D", "0.25 D", "1.10 m" or
// "1.1m": a plain decimal number (digits with an optional point, no sign or
// exponent), optional blanks, then "D" or "m". None for any other text.
struct MinimumText {
  double value;
  ClearanceMinimum::Unit unit;
};
std::optional<MinimumText> parseMinimumText(std::string_view text);

// The minima of ship.customMinima, each in m or as a multiple of D.
PreparedRuleSet prepareCustomRequirements(const ShipParticulars& ship);

}  // namespace propclear
