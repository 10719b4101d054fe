#include "rules/rule_set_catalogue.h"

#include "rules/custom_minima.h"
#include "rules/lr_recommended.h"
#include "rules/tip_guidance.h"

namespace propclear {

std::span<const RuleSetEntry> ruleSetCatalogue() {
  static const std::vector<RuleSetEntry> catalogue = {
      {lrRecommendedName,
       {ShipField::RuleLength, ShipField::BlockCoefficient, ShipField::Power, ShipField::Blades,
        ShipField::RudderThickness},
       lrRecommendedRequirements},
      {tipGuidanceName, {ShipField::Skew}, tipGuidanceRequirements},
      {customName, {ShipField::CustomMinima}, customRequirements},
  };
  return catalogue;
}

const RuleSetEntry* findRuleSet(std::string_view name) {
  for (const RuleSetEntry& entry : ruleSetCatalogue()) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

std::string ruleSetNameList() {
  std::string list;
  for (const RuleSetEntry& entry : ruleSetCatalogue()) {
    if (!list.empty()) list += ", ";
    list += entry.name;
  }
  return list;
}

}  // namespace propclear
