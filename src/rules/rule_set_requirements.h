#pragma once
// The required values of a rule set read from a rule file, for one ship and
// one propeller diameter: each line's factor (by the ship's blade number
// where the file gives a table) times K·D, D or metres, the larger of that and
// the line's minimum, for the lines whose skew and ship type match the ship's;
// a line limited to other rudder arrangements is kept, marked not applicable.

#include <optional>
#include <string>
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

// One term of a requirement: its factor times what its scale stands for.
struct RequirementTerm {
  double factor = 0.0;
  RequirementScale scale = RequirementScale::Metres;
  std::string basis;  // "1.50*K*D", "0.15*D minimum", "tR minimum", with the line's qualifier
};

// A requirement as far as it does not depend on the design's D.
struct PreparedRequirement {
  int clearance = 0;         // JudgedClearance
  std::string sourceLetter;  // "LR a", "tip", "a'"
  RequirementTerm formula;
  std::optional<RequirementTerm> minimum;  // the larger of the two is required
  bool informative = false;
  std::optional<std::string> notApplicable;  // ClearanceRequirement::notApplicable
};

// A rule set's requirements for one ship, for any D: worked out once for all
// the designs of a study.
struct PreparedRuleSet {
  RuleSetSummary summary;
  std::vector<PreparedRequirement> requirements;  // in clearance order
  std::optional<double> rudderThicknessMetres;    // for the terms in tR
};

// The term that gives the required value of `requirement` for D, and that
// value in m: the larger of the formula and the minimum, the formula when
// they are equal.
struct RequiredValue {
  double metres;
  const RequirementTerm* term;
};
RequiredValue requiredValueAt(const PreparedRuleSet& set, const PreparedRequirement& requirement,
                              double propellerDiameterMetres);

// `definition` prepared for `ship`, which has every field of
// fieldsNeeded(definition).
PreparedRuleSet prepareRequirements(const RuleSetDefinition& definition, const ShipParticulars& ship);

// The requirements of `set` for the propeller diameter D in m.
RuleSetRequirements requirementsAt(const PreparedRuleSet& set, double propellerDiameterMetres);

// The requirements of `definition` for `ship`, which has every field of
// fieldsNeeded(definition), and the propeller diameter D in m.
RuleSetRequirements requirementsOf(const RuleSetDefinition& definition, const ShipParticulars& ship,
                                   double propellerDiameterMetres);

// `requirements` with the lines on a, b, c, a', b', c' only: what a study
// tabulates, one column per clearance.
RuleSetRequirements sixClearancesOf(RuleSetRequirements requirements);

}  // namespace propclear
