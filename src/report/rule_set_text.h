#pragma once
// The rule sets as `propclear rules list` and `propclear rules show NAME`
// print them: one line per set, and one set in full with its lines.

#include <span>
#include <string>

#include "rules/rule_set_definition.h"

namespace propclear {

// "NAME  SOURCE (EDITION)  FILE" per rule file, then the ship file's custom
// minima; sets checked always say so.
std::string ruleSetListText(std::span<const RuleSetDefinition> sets);

// The set's source, edition, scope, mapping, factor formula, and a table of
// its lines: clearance, letter, requirement, minimum, rudders, conditions,
// deciding or informative.
std::string ruleSetText(const RuleSetDefinition& set);

}  // namespace propclear
