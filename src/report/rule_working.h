#pragma once
// The rule check's figures worked out in words for a reader who checks them
// by hand: each rule set's factor with the ship's values put in,
//   "K = (0.1 + 118/3050)·(3.48·0.72·6500/118² + 0.3) = 0.2038",
// and each rule line's required value from the term that gave it,
//   "1.50·K·D = 1.50·0.2038·4.6 = 1.406 m".
// The figures are the rule check's own; nothing is judged again here.

#include <optional>
#include <string>

#include "rules/check_clearance_rules.h"

namespace propclear {

// The factor's working, or none for a rule set without a factor.
std::optional<std::string> factorWorking(const RuleSetSummary& set);

// The working of `line`'s required value; its term alone with the value
// where a symbol of the term has no value in the rule set's inputs.
std::string requiredWorking(const RuleLine& line, const RuleCheck& check);

}  // namespace propclear
