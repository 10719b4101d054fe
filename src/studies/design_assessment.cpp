#include "studies/design_assessment.h"

#include <algorithm>

#include "assessment/assessment.h"
#include "common/run_error.h"

namespace propclear {

namespace {

const char* sweptVolumeMarginName(SternStructure structure) {
  switch (structure) {
    case SternStructure::SternContour: return "swept volume to the stern contour";
    case SternStructure::RudderEdge: return "swept volume to the rudder leading edge";
    case SternStructure::Heel: return "swept volume to the heel";
  }
  return "swept volume";
}

// The margins of the analysis beyond the six clearances: each closest
// approach of the swept volume (negative by as deep as it cuts the structure).
std::vector<BindingMargin> structureMarginsOf(const Assessment& judged) {
  std::vector<BindingMargin> margins;
  for (const ClosestApproach& approach : judged.closestApproaches()) {
    margins.push_back({sweptVolumeMarginName(approach.structure),
                       approach.overlaps ? -approach.overlapDepth : approach.distance});
  }
  return margins;
}

DesignAssessment analyseAndJudge(const DesignData& design, const StudyRules* rules) {
  DesignAssessment assessment;
  const Assessment judged =
      assess(design, rules != nullptr ? rules->assessmentInputs() : AssessmentInputs{});
  for (std::size_t k = 0; k < judged.clearances.size(); ++k) {
    assessment.clearances[k] = judged.clearances[k].segment;
    assessment.perDiameter[k] = judged.clearances[k].perDiameter;
    assessment.gaps[k] = judged.clearances[k].signedGap;
  }
  assessment.legacyLengths = {judged.legacyLowerBlade[0].segment.length,
                              judged.legacyLowerBlade[1].segment.length};
  assessment.overlaps = judged.hasClash();
  assessment.status = judged.status;
  assessment.structureMargins = structureMarginsOf(judged);
  if (rules != nullptr) assessment.rules = rules->margins(judged);
  assessment.warnings = warningTexts(judged.warnings());
  assessment.invalid = judged.analysis.validityProblems;
  assessment.analysed = true;
  return assessment;
}

DesignAssessment failedAssessment(const RunError& error) {
  DesignAssessment assessment;
  assessment.error = error.what();
  return assessment;
}

}  // namespace

DesignAssessment assessDesign(DesignData& workspace, const DesignData& fileDesign,
                              std::span<const ParameterSetting> settings, KeepMode keep,
                              const StudyRules* rules) {
  try {
    editDesignInPlace(workspace, fileDesign, settings, keep);
    return analyseAndJudge(workspace, rules);
  } catch (const RunError& error) {
    return failedAssessment(error);
  }
}

DesignAssessment assessDesign(const DesignData& design, const StudyRules* rules) {
  try {
    return analyseAndJudge(design, rules);
  } catch (const RunError& error) {
    return failedAssessment(error);
  }
}

std::vector<BindingMargin> bindingMargins(const DesignAssessment& assessment,
                                          const StudyRules* rules) {
  std::vector<BindingMargin> margins;
  if (!assessment.analysed) return margins;
  if (rules == nullptr) {
    for (int k = 0; k < clearanceCount; ++k) {
      const std::optional<double>& gap = assessment.gaps[k];
      margins.push_back({clearanceNames[k], gap.value_or(0.0), gap.has_value()});
    }
    margins.insert(margins.end(), assessment.structureMargins.begin(),
                   assessment.structureMargins.end());
    return margins;
  }
  for (std::size_t line = 0; line < assessment.rules.size(); ++line) {
    const RuleMargin& rule = assessment.rules[line];
    if (!rule.applies || rule.informative) continue;
    margins.push_back({rules->lineLabels()[line], rule.marginMetres.value_or(0.0),
                       rule.marginMetres.has_value()});
  }
  return margins;
}

bool isFeasible(const DesignAssessment& assessment, const StudyRules* rules) {
  if (!assessment.analysed || !assessment.invalid.empty() || assessment.overlaps) return false;
  const auto clear = [](const std::optional<double>& gap) { return gap && *gap > 0.0; };
  if (!std::all_of(assessment.gaps.begin(), assessment.gaps.end(), clear)) return false;
  if (rules == nullptr) return true;
  const std::vector<BindingMargin> margins = bindingMargins(assessment, rules);
  return std::all_of(margins.begin(), margins.end(),
                     [](const BindingMargin& m) { return m.measured && m.metres >= 0.0; });
}

const BindingMargin* failingMargin(const std::vector<BindingMargin>& margins) {
  const auto failing = std::min_element(
      margins.begin(), margins.end(), [](const BindingMargin& a, const BindingMargin& b) {
        if (a.measured != b.measured) return !a.measured;
        return a.metres < b.metres;
      });
  return failing == margins.end() ? nullptr : &*failing;
}

std::optional<double> smallestMargin(const DesignAssessment& assessment, const StudyRules* rules) {
  std::vector<BindingMargin> margins = bindingMargins(assessment, rules);
  // Rule sets with informative lines only leave the gaps to decide.
  if (margins.empty()) margins = bindingMargins(assessment, nullptr);
  std::optional<double> smallest;
  for (const BindingMargin& margin : margins) {
    if (margin.measured) smallest = std::min(smallest.value_or(margin.metres), margin.metres);
  }
  return smallest;
}

}  // namespace propclear
