#include "rules/rule_set_catalogue.h"

#include "rules/bundled_rule_files.h"
#include "rules/custom_minima.h"

namespace propclear {

namespace {

const RuleSetDefinition* namedIn(std::span<const RuleSetDefinition> sets, std::string_view name) {
  for (const RuleSetDefinition& set : sets) {
    if (set.name == name) return &set;
  }
  return nullptr;
}

}  // namespace

const RuleSetDefinition* findRuleSet(std::string_view name,
                                     std::span<const RuleSetDefinition> added) {
  if (const RuleSetDefinition* set = namedIn(added, name)) return set;
  return namedIn(bundledRuleSets(), name);
}

bool isKnownRuleSet(std::string_view name, std::span<const RuleSetDefinition> added) {
  if (name == customName) return true;
  const RuleSetDefinition* set = findRuleSet(name, added);
  return set != nullptr && !set->always;
}

std::vector<std::string> ruleSetNames(std::span<const RuleSetDefinition> added) {
  std::vector<std::string> names;
  for (const auto sets : {std::span<const RuleSetDefinition>(bundledRuleSets()), added}) {
    for (const RuleSetDefinition& set : sets) {
      if (!set.always) names.push_back(set.name);
    }
  }
  names.emplace_back(customName);
  return names;
}

std::string ruleSetNameList(std::span<const RuleSetDefinition> added) {
  std::string list;
  for (const std::string& name : ruleSetNames(added)) list += (list.empty() ? "" : ", ") + name;
  return list;
}

std::vector<const RuleSetDefinition*> alwaysCheckedRuleSets(
    std::span<const RuleSetDefinition> added) {
  std::vector<const RuleSetDefinition*> always;
  for (const auto sets : {std::span<const RuleSetDefinition>(bundledRuleSets()), added}) {
    for (const RuleSetDefinition& set : sets) {
      if (set.always) always.push_back(&set);
    }
  }
  return always;
}

std::vector<ShipField> fieldsNeeded(std::string_view name,
                                    std::span<const RuleSetDefinition> added) {
  if (name == customName) return {ShipField::CustomMinima};
  return fieldsNeeded(*findRuleSet(name, added));
}

PreparedRuleSet prepareRuleSet(std::string_view name, const ShipParticulars& ship) {
  if (name == customName) return prepareCustomRequirements(ship);
  return prepareRequirements(*findRuleSet(name, ship.ruleFiles), ship);
}

RuleSetRequirements ruleSetRequirements(std::string_view name, const ShipParticulars& ship,
                                        double propellerDiameterMetres) {
  return requirementsAt(prepareRuleSet(name, ship), propellerDiameterMetres);
}

}  // namespace propclear
