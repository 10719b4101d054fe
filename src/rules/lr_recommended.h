#pragma once
// Rule set "lr-recommended": the recommended minimum propeller/hull clearances
// of a single-screw ship after Lloyd's Register. Source, table and the mapping
// of its letters onto this program's clearances: lr_recommended.cpp.

#include "rules/rule_set.h"
#include "rules/ship_particulars.h"

namespace propclear {

inline constexpr const char* lrRecommendedName = "lr-recommended";

// K = (0.1 + L/3050)·(3.48·Cb·P/L² + 0.3), L in m, P in kW.
double lrFactorK(double ruleLengthMetres, double blockCoefficient, double shaftPowerKilowatts);

// The required minima of a, b, c, a', b', c' for `ship` (rule length, block
// coefficient, power, blade count and rudder thickness all given) and the
// propeller diameter D in m.
RuleSetRequirements lrRecommendedRequirements(const ShipParticulars& ship,
                                              double propellerDiameterMetres);

}  // namespace propclear
