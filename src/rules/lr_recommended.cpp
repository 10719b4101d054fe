#include "rules/lr_recommended.h"

#include "rules/rule_set_catalogue.h"

namespace propclear {

RuleSetRequirements lrRecommendedRequirements(const ShipParticulars& ship,
                                              double propellerDiameterMetres) {
  return sixClearancesOf(
      requirementsOf(*findRuleSet(lrRecommendedName), ship, propellerDiameterMetres));
}

}  // namespace propclear
