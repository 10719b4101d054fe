#pragma once
// The required values of a rule set read from a rule file, for one ship and
// one propeller diameter: each line's factor (by the ship's blade number
// where the file gives a table) times K·D, D or metres, the larger of that and
// the line's minimum, for the lines whose skew and ship type match the ship's;
// a line limited to other rudder arrangements is kept, marked not applicable.

#include <vector>

#include "rules/rule_set.h"
#include "rules/rule_set_definition.h"
#include "rules/ship_particulars.h"

namespace propclear {

// The particulars a rule set may need besides the design's D, in the order
// messages and the record of the check give them.
enum class ShipField {
  RuleLength,
  BlockCoefficient,
  Power,
  Blades,
  RudderThickness,
  Skew,
  CustomMinima,
};

// What `definition` needs from the ship.
std::vector<ShipField> fieldsNeeded(const RuleSetDefinition& definition);

// Throws, at the table's place in the rule file, when a line's factor table
// has no entry for `bladeCount` blades.
void requireBladeNumberInTables(const RuleSetDefinition& definition, int bladeCount);

// K = (0.1 + L/3050)·(3.48·Cb·P/L² + 0.3), L in m, P in kW: Lloyd's
// Register's factor for the propeller/hull clearances.
double lrFactorK(double ruleLengthMetres, double blockCoefficient, double shaftPowerKilowatts);
// That formula in the inputs' symbols, for the report's working of K.
inline constexpr const char* lrFactorFormulaText =
    "K = (0.1 + L/3050)\u00B7(3.48\u00B7Cb\u00B7P/L\u00B2 + 0.3)";

// The requirements of `definition` for `ship`, which has every field of
// fieldsNeeded(definition), and the propeller diameter D in m.
RuleSetRequirements requirementsOf(const RuleSetDefinition& definition, const ShipParticulars& ship,
                                   double propellerDiameterMetres);

// `requirements` with the lines on a, b, c, a', b', c' only: what a study
// tabulates, one column per clearance.
RuleSetRequirements sixClearancesOf(RuleSetRequirements requirements);

}  // namespace propclear
