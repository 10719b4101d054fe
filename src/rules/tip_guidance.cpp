#include "rules/tip_guidance.h"

#include "rules/rule_set_catalogue.h"

namespace propclear {

RuleSetRequirements tipGuidanceRequirements(const ShipParticulars& ship,
                                            double propellerDiameterMetres) {
  return sixClearancesOf(
      requirementsOf(*findRuleSet(tipGuidanceName), ship, propellerDiameterMetres));
}

}  // namespace propclear
