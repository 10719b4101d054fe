#pragma once
// The clearance rules a study judges its designs by, when --rules names rule
// sets: for each design, each rule line's required value, margin and
// verdict. The ship's particulars come from the ship file beside the design
// file ("Norvalek.ship.toml" beside "Norvalek.TSK"), with --ship-set
// overrides on top, as for the plain run.
//
// Every rule set named gives one line per clearance, in clearance order, so
// that the lines make the same columns for every design and every ship; a
// line the rule set does not require for a ship stays empty.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "clearance/stern_analysis.h"
#include "design/design_data.h"
#include "rules/read_ship_particulars.h"
#include "rules/ship_particulars.h"

namespace propclear {

struct RuleMargin {
  bool applies = false;  // the rule set requires this clearance of this ship
  double requiredMetres = 0.0;
  double requiredPerDiameter = 0.0;
  std::optional<double> marginMetres;  // none: the clearance could not be judged
  bool informative = false;            // shown, never binding
  std::string verdict;                 // "meets", "below the recommended minimum", ...
};

// What --rules NAME[,NAME] and --ship-set KEY=VALUE ask for. An unknown or
// repeated rule set is a usage fault naming the option.
struct StudyRuleRequest {
  std::vector<std::string> ruleSets;
  std::vector<std::string> shipSettings;
};
StudyRuleRequest parseStudyRuleRequest(const std::string& ruleSets,
                                       const std::vector<std::string>& shipSettings);

// "lr-recommended b'", ...: the rule sets in order, each with every
// clearance in order.
std::vector<std::string> ruleLineLabels(const StudyRuleRequest& request);

// The rules for the designs of one design file.
class StudyRules {
 public:
  // Reads the ship file beside `designFile` (or takes the particulars from
  // the overrides alone when there is none); a bad ship file or a field a
  // rule set needs and nobody gave is a RunError naming it.
  StudyRules(const StudyRuleRequest& request, const std::filesystem::path& designFile);

  const std::vector<std::string>& lineLabels() const { return lineLabels_; }

  // One margin per line label. Pure: called on every core at once. A
  // diameter that is not positive is a RunError: no minimum scales with it.
  std::vector<RuleMargin> judge(const DesignData& design, const SternAnalysis& analysis) const;

 private:
  std::vector<std::string> lineLabels_;
  ShipParticulars ship_;
};

}  // namespace propclear
