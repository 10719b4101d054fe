#include "studies/design_assessment.h"

#include <algorithm>

#include "clearance/stern_analysis.h"
#include "common/checked_math.h"
#include "common/run_error.h"

namespace propclear {

namespace {

// Each clearance's gap with a sign, from the side its structure lies on: the
// stern contour forward of the blade (smaller x) for a and a', above the upper
// tip for b; the heel below the lower tip for b'; the rudder aft of the blade
// for c and c'.
std::array<double, clearanceCount> signedGaps(const ClearanceSet& clearances) {
  const auto forward = [](const ClearanceSegment& s) { return s.bladeX - s.targetX; };
  const auto aft = [](const ClearanceSegment& s) { return s.targetX - s.bladeX; };
  const auto above = [](const ClearanceSegment& s) { return s.targetZ - s.bladeZ; };
  const auto below = [](const ClearanceSegment& s) { return s.bladeZ - s.targetZ; };
  return {forward(clearances[clearanceA]),      above(clearances[clearanceB]),
          aft(clearances[clearanceC]),          forward(clearances[clearanceAPrime]),
          below(clearances[clearanceBPrime]),   aft(clearances[clearanceCPrime])};
}

}  // namespace

DesignAssessment assessDesign(const DesignData& fileDesign,
                              std::span<const ParameterSetting> settings, KeepMode keep,
                              const StudyRules* rules) {
  DesignAssessment assessment;
  try {
    const DesignData design = editDesign(fileDesign, settings, keep);
    SternAnalysis analysis = analyseStern(design);
    assessment.clearances = analysis.clearances;
    for (int k = 0; k < clearanceCount; ++k) {
      assessment.perDiameter[k] = checkedDivide(analysis.clearances[k].length,
                                                design.propellerDiameter, "a clearance per D");
    }
    assessment.gaps = signedGaps(analysis.clearances);
    if (rules != nullptr) assessment.rules = rules->judge(design, analysis);
    assessment.warnings = std::move(analysis.warnings);
    assessment.analysed = true;
  } catch (const RunError& error) {
    assessment.error = error.what();
  }
  return assessment;
}

std::vector<BindingMargin> bindingMargins(const DesignAssessment& assessment,
                                          const StudyRules* rules) {
  std::vector<BindingMargin> margins;
  if (!assessment.analysed) return margins;
  if (rules == nullptr) {
    for (int k = 0; k < clearanceCount; ++k) margins.push_back({clearanceNames[k], assessment.gaps[k]});
    return margins;
  }
  for (std::size_t line = 0; line < assessment.rules.size(); ++line) {
    const RuleMargin& rule = assessment.rules[line];
    if (rule.informative) continue;
    margins.push_back({rules->lineLabels[line], rule.marginMetres.value_or(0.0),
                       rule.marginMetres.has_value()});
  }
  return margins;
}

bool isFeasible(const DesignAssessment& assessment, const StudyRules* rules) {
  if (!assessment.analysed) return false;
  const auto overlaps = [](double gap) { return !(gap > 0.0); };
  if (std::any_of(assessment.gaps.begin(), assessment.gaps.end(), overlaps)) return false;
  if (rules == nullptr) return true;
  const std::vector<BindingMargin> margins = bindingMargins(assessment, rules);
  return std::all_of(margins.begin(), margins.end(),
                     [](const BindingMargin& m) { return m.measured && m.metres >= 0.0; });
}

std::optional<double> smallestMargin(const DesignAssessment& assessment, const StudyRules* rules) {
  if (!assessment.analysed) return std::nullopt;
  const std::vector<BindingMargin> margins = bindingMargins(assessment, rules);
  // Rule sets with informative lines only leave the gaps to decide.
  if (margins.empty()) return *std::min_element(assessment.gaps.begin(), assessment.gaps.end());
  double smallest = margins.front().metres;
  for (const BindingMargin& margin : margins) smallest = std::min(smallest, margin.metres);
  return smallest;
}

}  // namespace propclear
