#pragma once
// What a rule set gives the check: the published source it transcribes, the
// ship's values it used, and the minimum it requires for each clearance it
// covers. The catalogue (rule_set_catalogue.h) names the rule sets.

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace propclear {

// One required minimum for one of the six clearances.
struct ClearanceRequirement {
  int clearance = 0;         // JudgedClearance
  std::string sourceLetter;  // the source's own name for it: "LR a", "tip", "a'"
  std::string basis;         // which term gave the value: "1.50*K*D", "0.15*D minimum", "tR minimum"
  double requiredMetres = 0.0;
  bool informative = false;  // shown with its verdict, never part of the overall verdict
  // Why the line does not apply to this ship ("spade rudder, no heel under
  // the disc"); none when it does.
  std::optional<std::string> notApplicable;
};

// A value the rule set read, for the record of the check.
struct RuleInput {
  std::string key;     // the ship file's key, or "propeller_diameter" for the design's D
  std::string symbol;  // the source's symbol: "L", "Cb", "P", "Z", "tR", "D", "skew"
  std::variant<double, std::string> value;
  std::string unit;    // "m", "kW"; empty for a ratio, a count or a text
};

struct RuleSetSummary {
  std::string name;     // as the ship file names it: "lr-recommended"
  std::string source;   // the published source: title, edition, section, table
  std::string edition;  // may be empty
  std::string scope;    // whom the figures are for; may be empty
  std::string file;     // the rule file it was read from; empty for "custom"
  std::string mapping;  // how the source's letters map onto a, b, c, a', b', c'
  // The ship's values; the design's D, the same for every ship, is not among
  // them but stands before inputs[diameterInput] (inputsWithDiameter).
  std::vector<RuleInput> inputs;
  std::size_t diameterInput = 0;
  std::optional<double> factorK;  // the source's factor K, for the sets that have one
  // K's formula in the inputs' symbols, "K = (0.1 + L/3050)·(3.48·Cb·P/L² + 0.3)"; empty without K.
  std::string factorFormula;
};

// The inputs of `set` with the design's D, in m, in its place: what the
// record of a check shows.
std::vector<RuleInput> inputsWithDiameter(const RuleSetSummary& set, double propellerDiameterMetres);

struct RuleSetRequirements {
  RuleSetSummary summary;
  std::vector<ClearanceRequirement> requirements;  // in clearance order
};

}  // namespace propclear
