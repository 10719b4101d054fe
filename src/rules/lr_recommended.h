#pragma once
// Rule set "lr-recommended": the recommended minimum propeller/hull clearances
// of a single-screw ship after Lloyd's Register. Source, table and the mapping
// of its letters onto this program's clearances: the bundled rule file
// rules/lr-recommended.toml.

#include "rules/rule_set.h"
#include "rules/rule_set_requirements.h"
#include "rules/ship_particulars.h"

namespace propclear {

inline constexpr const char* lrRecommendedName = "lr-recommended";

// The required minima of a, b, c, a', b', c' for `ship` (rule length, block
// coefficient, power, blade count and rudder thickness all given) and the
// propeller diameter D in m, as the bundled file gives them.
RuleSetRequirements lrRecommendedRequirements(const ShipParticulars& ship,
                                              double propellerDiameterMetres);

}  // namespace propclear
