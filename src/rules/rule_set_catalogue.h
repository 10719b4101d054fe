#pragma once
// The rule sets a ship file may name: the bundled rule files
// (bundled_rule_files.h), the rule files a ship file or the command line adds
// (rule_files, --rules-file), and "custom", the ship file's own minima. What
// each needs from the ship's particulars, and its requirements.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rules/rule_set.h"
#include "rules/rule_set_definition.h"
#include "rules/rule_set_requirements.h"
#include "rules/ship_particulars.h"

namespace propclear {

// The rule file named `name`: one of `added`, else a bundled one; nullptr
// when none is ("custom" is none). Sets checked always are found too.
const RuleSetDefinition* findRuleSet(std::string_view name,
                                     std::span<const RuleSetDefinition> added = {});

// Whether `name` is a rule set a ship file may name: a rule file's that is not
// checked always, or "custom".
bool isKnownRuleSet(std::string_view name, std::span<const RuleSetDefinition> added = {});

// The names a ship file may give: the bundled sets, those of `added`, then
// custom.
std::vector<std::string> ruleSetNames(std::span<const RuleSetDefinition> added = {});

// "lr-recommended, tip-guidance, custom", for messages: the bundled sets,
// those of `added`, then custom.
std::string ruleSetNameList(std::span<const RuleSetDefinition> added = {});

// The rule sets checked in every rule check, bundled ones first.
std::vector<const RuleSetDefinition*> alwaysCheckedRuleSets(
    std::span<const RuleSetDefinition> added = {});

// What the rule set `name` (known) needs from the ship.
std::vector<ShipField> fieldsNeeded(std::string_view name,
                                    std::span<const RuleSetDefinition> added = {});

// The rule set `name` (known) prepared for `ship`, with its rule files.
PreparedRuleSet prepareRuleSet(std::string_view name, const ShipParticulars& ship);

// The requirements of the rule set `name` (known) for `ship`, with its rule
// files, and D in m.
RuleSetRequirements ruleSetRequirements(std::string_view name, const ShipParticulars& ship,
                                        double propellerDiameterMetres);

}  // namespace propclear
