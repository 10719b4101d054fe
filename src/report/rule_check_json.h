#pragma once
// The rule check as the "ruleCheck" member of the JSON results: the ship, D,
// each rule set with its source, mapping, the inputs it used and K, each rule
// line as the terminal table shows it, the notes and the overall verdict.
// Lengths in metres, never NaN or infinity.

#include "report/json_writer.h"
#include "rules/check_clearance_rules.h"

namespace propclear {

// Writes the member "ruleCheck": {...} into the object `json` has open.
void appendRuleCheckJson(JsonWriter& json, const RuleCheck& check);

}  // namespace propclear
