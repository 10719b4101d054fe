#pragma once
// The clearance rules a study judges its designs by, when --rules names rule
// sets: for each design, every rule line's required value, margin and
// verdict. The lines are the same for every design of a study (the rule sets
// and the ship do not change, only the values), so that they make columns.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "clearance/stern_analysis.h"
#include "design/design_data.h"

namespace propclear {

struct RuleMargin {
  double requiredMetres = 0.0;
  double requiredPerDiameter = 0.0;
  std::optional<double> marginMetres;  // none: the clearance could not be judged
  bool informative = false;            // shown, never binding
  std::string verdict;                 // "meets", "below the recommended minimum", ...
};

struct StudyRules {
  // "lr-recommended a", ... in the order `judge` gives the lines.
  std::vector<std::string> lineLabels;
  // Pure: called on every core at once.
  std::function<std::vector<RuleMargin>(const DesignData&, const SternAnalysis&)> judge;
};

// The rules named by --rules NAME[,NAME], with the ship's particulars from
// the ship file beside `designFile`. A usage fault names the option when a
// rule set is unknown or cannot be checked.
StudyRules studyRulesFor(const std::string& ruleSetNames, const std::filesystem::path& designFile);

}  // namespace propclear
