#include "studies/study_rules.h"

#include <algorithm>

#include "common/run_error.h"
#include "rules/check_clearance_rules.h"
#include "rules/rule_set_catalogue.h"
#include "studies/parameter_values.h"

namespace propclear {

namespace {

std::size_t ruleSetIndex(const std::vector<std::string>& ruleSets, const std::string& name) {
  return static_cast<std::size_t>(std::find(ruleSets.begin(), ruleSets.end(), name) - ruleSets.begin());
}

}  // namespace

StudyRuleRequest parseStudyRuleRequest(const std::string& shipFile, const std::string& ruleSets,
                                       const std::vector<std::string>& shipSettings) {
  StudyRuleRequest request;
  if (!shipFile.empty()) request.shipFile = shipFile;
  request.overrides.settings = shipSettings;
  if (ruleSets.empty()) return request;
  request.overrides.ruleSets = ruleSets;
  if (ruleSets == noRulesName) return request;
  std::vector<std::string> names;
  for (std::string_view name : splitAt(ruleSets, ',')) {
    const std::string text(name);
    if (!isKnownRuleSet(text)) {
      throw RunError(ErrorKind::Usage, "--rules " + ruleSets + ": unknown rule set \"" + text +
                                           "\"; the rule sets are " + ruleSetNameList() +
                                           ", or none");
    }
    if (ruleSetIndex(names, text) < names.size()) {
      throw RunError(ErrorKind::Usage, "--rules " + ruleSets + ": \"" + text + "\" is named twice");
    }
    names.push_back(text);
  }
  return request;
}

std::vector<std::string> ruleLineLabels(const std::vector<std::string>& ruleSets) {
  std::vector<std::string> labels;
  for (const std::string& ruleSet : ruleSets) {
    for (std::string_view clearance : clearanceNames) labels.push_back(ruleSet + " " + std::string(clearance));
  }
  return labels;
}

std::optional<StudyRules> StudyRules::of(StudyRuleRequest request,
                                         const std::filesystem::path& designFile,
                                         const DesignData& design) {
  request.propeller = design.propeller ? &*design.propeller : nullptr;
  std::optional<ShipParticulars> ship = shipParticularsFor(designFile, request);
  if (!ship || ship->ruleSets.empty()) return std::nullopt;
  return StudyRules(std::move(*ship));
}

StudyRules::StudyRules(ShipParticulars ship) : ship_(std::move(ship)) { labelBy(ship_.ruleSets); }

void StudyRules::labelBy(const std::vector<std::string>& ruleSets) {
  labelSets_ = ruleSets;
  lineLabels_ = ruleLineLabels(ruleSets);
}

std::vector<RuleMargin> StudyRules::margins(const Assessment& assessment) const {
  std::vector<RuleMargin> margins(lineLabels_.size());
  if (!assessment.rules) return margins;
  // A study tabulates a, b, c, a', b', c': one column each per rule set; a
  // line that does not apply to the ship's rudder asks nothing.
  for (const RuleLine& line : assessment.rules->lines) {
    if (line.clearance >= clearanceCount || line.verdict == RuleVerdict::NotApplicable) continue;
    const std::size_t set = ruleSetIndex(labelSets_, line.ruleSet);
    if (set >= labelSets_.size()) continue;
    RuleMargin& margin = margins[set * clearanceCount + static_cast<std::size_t>(line.clearance)];
    margin = {true,         line.requiredMetres, line.requiredPerDiameter, line.marginMetres,
              line.informative, ruleLineVerdictText(line), line.sourceLetter};
  }
  return margins;
}

}  // namespace propclear
