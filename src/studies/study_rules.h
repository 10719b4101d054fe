#pragma once
// The clearance rules a study judges its designs by: the ship file's
// rule_sets by default, exactly as the plain run judges the design
// (assessment/ship_file_choice.h: --ship FILE, else the ship file beside the
// design file; --ship-set on top), other rule sets with --rules NAMES, none
// with --rules none. For each design, each rule line's required value,
// margin and verdict, from the design's assessment.
//
// Every rule set gives one line per clearance, in clearance order, so that
// the lines make the same columns for every design and every ship; a line
// the rule set does not require for a ship stays empty.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "assessment/assessment.h"
#include "assessment/ship_file_choice.h"
#include "rules/ship_particulars.h"

namespace propclear {

struct RuleMargin {
  bool applies = false;  // the rule set requires this clearance of this ship
  double requiredMetres = 0.0;
  double requiredPerDiameter = 0.0;
  std::optional<double> marginMetres;  // none: the clearance could not be judged
  bool informative = false;            // shown, never binding
  std::string verdict;                 // "meets", "below the recommended minimum", ...
  std::string source;                  // the rule set's own name for the line: "LR b", "a'"
};

// What --ship FILE, --rules NAME[,NAME]|none and --ship-set KEY=VALUE ask
// for. An unknown or repeated rule set is a usage fault naming the option.
using StudyRuleRequest = ShipChoice;
StudyRuleRequest parseStudyRuleRequest(const std::string& shipFile, const std::string& ruleSets,
                                       const std::vector<std::string>& shipSettings);

// "lr-recommended b'", ...: the rule sets in order, each with every
// clearance in order.
std::vector<std::string> ruleLineLabels(const std::vector<std::string>& ruleSets);

// The rules for the designs of one design file.
class StudyRules {
 public:
  // The rules `request` asks for of `designFile`, read as `design` (whose
  // propeller file gives the ship its Z); none when no rule set applies (no
  // ship file and no --rules, or --rules none). A bad ship file, a field a
  // rule set needs and nobody gave, or a ship whose Z contradicts the
  // propeller file is a RunError naming it.
  static std::optional<StudyRules> of(StudyRuleRequest request,
                                      const std::filesystem::path& designFile,
                                      const DesignData& design);

  // The ship whose rule sets judge the designs, and those sets worked out,
  // for assess().
  const ShipParticulars& ship() const { return ship_; }
  AssessmentInputs assessmentInputs() const { return {&ship_, preparedRuleSets_}; }
  const std::vector<std::string>& ruleSets() const { return ship_.ruleSets; }
  // The columns: these rule sets' lines, or (labelledBy) a fixed list's.
  const std::vector<std::string>& lineLabels() const { return lineLabels_; }
  // Lines of a fixed list of rule sets, the same for every file of a batch.
  void labelBy(const std::vector<std::string>& ruleSets);

  // One margin per line label, from an assessment made with ship().
  std::vector<RuleMargin> margins(const Assessment& assessment) const;

 private:
  explicit StudyRules(ShipParticulars ship);

  ShipParticulars ship_;
  std::shared_ptr<const ShipRuleSets> preparedRuleSets_;
  std::vector<std::string> labelSets_;
  std::vector<std::string> lineLabels_;
};

}  // namespace propclear
