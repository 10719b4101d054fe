#pragma once
// Rule set "tip-guidance": the engine makers' guidance for the tip clearance
// b of an open propeller and the lower tip's height above the base line.
// Source and values: the bundled rule file rules/tip-guidance.toml.

#include "rules/rule_set.h"
#include "rules/ship_particulars.h"

namespace propclear {

inline constexpr const char* tipGuidanceName = "tip-guidance";

// The informative minimum of b for `ship` (skew given) and the propeller
// diameter D in m, as the bundled file gives it.
RuleSetRequirements tipGuidanceRequirements(const ShipParticulars& ship,
                                            double propellerDiameterMetres);

}  // namespace propclear
