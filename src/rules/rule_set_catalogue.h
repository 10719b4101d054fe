#pragma once
// The rule sets a ship file may name, what each needs from the ship's
// particulars, and the function that gives its requirements.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rules/rule_set.h"
#include "rules/ship_particulars.h"

namespace propclear {

// The particulars a rule set may need besides the design's D.
enum class ShipField {
  RuleLength,
  BlockCoefficient,
  Power,
  Blades,
  RudderThickness,
  Skew,
  CustomMinima,
};

struct RuleSetEntry {
  std::string_view name;
  std::vector<ShipField> needs;
  // The requirements for a ship that has every field of `needs`, D in m.
  RuleSetRequirements (*requirements)(const ShipParticulars& ship, double propellerDiameterMetres);
};

// Every rule set, in the order the help and the messages list them.
std::span<const RuleSetEntry> ruleSetCatalogue();

// The entry named `name`, or nullptr.
const RuleSetEntry* findRuleSet(std::string_view name);

// "lr-recommended, tip-guidance, custom", for messages.
std::string ruleSetNameList();

}  // namespace propclear
