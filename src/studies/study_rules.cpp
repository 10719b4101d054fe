#include "studies/study_rules.h"

#include <algorithm>

#include "common/run_error.h"
#include "rules/check_clearance_rules.h"
#include "rules/measured_clearance.h"
#include "rules/rule_set_catalogue.h"
#include "studies/parameter_values.h"

namespace propclear {

namespace {

ShipOverrides overridesOf(const StudyRuleRequest& request) {
  std::string ruleSets;
  for (const std::string& name : request.ruleSets) {
    if (!ruleSets.empty()) ruleSets += ',';
    ruleSets += name;
  }
  return ShipOverrides{ruleSets, request.shipSettings};
}

std::size_t ruleSetIndex(const std::vector<std::string>& ruleSets, const std::string& name) {
  return static_cast<std::size_t>(std::find(ruleSets.begin(), ruleSets.end(), name) - ruleSets.begin());
}

}  // namespace

StudyRuleRequest parseStudyRuleRequest(const std::string& ruleSets,
                                       const std::vector<std::string>& shipSettings) {
  StudyRuleRequest request{{}, shipSettings};
  for (std::string_view name : splitAt(ruleSets, ',')) {
    const std::string text(name);
    if (!isKnownRuleSet(text)) {
      throw RunError(ErrorKind::Usage, "--rules " + ruleSets + ": unknown rule set \"" + text +
                                           "\"; the rule sets are " + ruleSetNameList());
    }
    if (ruleSetIndex(request.ruleSets, text) < request.ruleSets.size()) {
      throw RunError(ErrorKind::Usage, "--rules " + ruleSets + ": \"" + text + "\" is named twice");
    }
    request.ruleSets.push_back(text);
  }
  return request;
}

std::vector<std::string> ruleLineLabels(const StudyRuleRequest& request) {
  std::vector<std::string> labels;
  for (const std::string& ruleSet : request.ruleSets) {
    for (std::string_view clearance : clearanceNames) labels.push_back(ruleSet + " " + std::string(clearance));
  }
  return labels;
}

StudyRules::StudyRules(const StudyRuleRequest& request, const std::filesystem::path& designFile)
    : lineLabels_(ruleLineLabels(request)) {
  const ShipOverrides overrides = overridesOf(request);
  const std::optional<std::filesystem::path> shipFile = findShipFile(designFile);
  ship_ = shipFile ? readShipParticulars(*shipFile, overrides) : shipParticularsFromOverrides(overrides);
}

std::vector<RuleMargin> StudyRules::judge(const DesignData& design,
                                          const SternAnalysis& analysis) const {
  const RuleCheck check =
      checkClearanceRules(ship_, design.propellerDiameter, measuredClearancesOf(analysis, ship_.heel));
  std::vector<RuleMargin> margins(lineLabels_.size());
  // A study tabulates a, b, c, a', b', c': one column each per rule set; a
  // line that does not apply to the ship's rudder asks nothing.
  for (const RuleLine& line : check.lines) {
    if (line.clearance >= clearanceCount || line.verdict == RuleVerdict::NotApplicable) continue;
    const std::size_t set = ruleSetIndex(ship_.ruleSets, line.ruleSet);
    RuleMargin& margin = margins[set * clearanceCount + static_cast<std::size_t>(line.clearance)];
    margin = {true, line.requiredMetres, line.requiredPerDiameter, line.marginMetres,
              line.informative, verdictText(line.verdict)};
  }
  return margins;
}

}  // namespace propclear
