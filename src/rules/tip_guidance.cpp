// The engine makers' rule of thumb for the tip clearance of an open propeller:
// the gap from the blade tip to the hull above is 20 to 25 % of D for a
// propeller without skew and 15 to 20 % of D for a highly skewed one, the
// upper values for full after bodies with a strongly varying wake. Published,
// for instance, in MAN Diesel & Turbo's project guides for two-stroke engines
// ("Propeller clearance") and in Wärtsilä's Encyclopedia of Marine Technology
// ("Propeller clearances"). This rule set checks the lower end of each range:
//
//   b >= 0.20·D   skew "none"
//   b >= 0.15·D   skew "high"
//
// The tip clearance is this program's b (the upper blade tip to the stern
// contour above it, LR a in lr-recommended). The guidance is a rule of thumb,
// so its line is informative.

#include "rules/tip_guidance.h"

#include "clearance/clearance_segment.h"

namespace propclear {

namespace {

constexpr double tipFactorWithoutSkew = 0.20;  // times D
constexpr double tipFactorHighSkew = 0.15;     // times D

constexpr const char* tipSource =
    "Engine makers' guidance on propeller tip clearance (MAN Diesel & Turbo project guides, "
    "\"Propeller clearance\"; Wärtsilä Encyclopedia of Marine Technology, \"Propeller "
    "clearances\"): 20-25 % of D without skew, 15-20 % of D highly skewed; the lower end is "
    "checked";
constexpr const char* tipMapping = "tip clearance = b, informative";

}  // namespace

RuleSetRequirements tipGuidanceRequirements(const ShipParticulars& ship,
                                            double propellerDiameterMetres) {
  const bool highSkew = ship.skew.value() == PropellerSkew::High;
  const double factor = highSkew ? tipFactorHighSkew : tipFactorWithoutSkew;

  RuleSetRequirements result;
  result.summary = {tipGuidanceName, tipSource, tipMapping, {}, std::nullopt, {}};
  result.summary.inputs = {
      {"skew", "skew", std::string(highSkew ? "high" : "none"), ""},
      {"propeller_diameter", "D", propellerDiameterMetres, "m"},
  };
  result.requirements = {{clearanceB, "tip", highSkew ? "0.15*D (high skew)" : "0.20*D (no skew)",
                          factor * propellerDiameterMetres, true}};
  return result;
}

}  // namespace propclear
