#include "studies/sweep_plot_collector.h"

namespace propclear {

namespace {

std::string axisTitle(const StudyParameter& parameter) {
  std::string title(parameter.name);
  if (parameter.kind == ParameterKind::Shift) title += " shift";
  if (!parameter.unit.empty()) title += " (" + std::string(parameter.unit) + ")";
  return title;
}

std::vector<double> valuesOf(const ParameterValues& values) {
  std::vector<double> all;
  all.reserve(values.count);
  for (std::uint64_t i = 0; i < values.count; ++i) all.push_back(values.at(i));
  return all;
}

}  // namespace

PlotPoint plotPointOf(const DesignAssessment& assessment, const StudyRules* rules) {
  PlotPoint point;
  point.smallestMargin = smallestMargin(assessment, rules);
  point.feasible = isFeasible(assessment, rules);
  if (!assessment.analysed) return point;
  // Signed (the size of the gap is its length): a gap that closes goes below
  // zero rather than turning round; none where it was measured to a stand-in.
  for (int k = 0; k < clearanceCount; ++k) {
    const std::optional<double>& gap = assessment.gaps[k];
    if (gap) point.perDiameter[k] = *gap < 0.0 ? -assessment.perDiameter[k] : assessment.perDiameter[k];
  }
  for (const RuleMargin& rule : assessment.rules) {
    point.requiredPerDiameter.push_back(rule.applies ? std::optional(rule.requiredPerDiameter)
                                                     : std::nullopt);
    point.informative.push_back(rule.applies && rule.informative ? 1 : 0);
  }
  return point;
}

SweepPlotCollector::SweepPlotCollector(const std::vector<ParameterValues>& varied,
                                       const StudyRules* rules, std::string title) {
  plot_.title = std::move(title);
  plot_.xTitle = axisTitle(*varied.front().parameter);
  plot_.x = valuesOf(varied.front());
  if (varied.size() == 2) {
    plot_.secondTitle = axisTitle(*varied.back().parameter);
    plot_.second = valuesOf(varied.back());
    plot_.marginTitle = rules != nullptr ? "smallest rule margin (m)" : "smallest gap (m)";
    return;
  }
  plot_.yTitle = "signed gap / D";
  for (std::string_view name : clearanceNames) plot_.lines.push_back({std::string(name), false, false, {}});
  if (rules != nullptr) {
    for (const std::string& label : rules->lineLabels()) {
      plot_.lines.push_back({label + " required", true, false, {}});
    }
  }
  plot_.shadedLabel = rules != nullptr ? "every rule holds" : "nothing overlaps";
}

void SweepPlotCollector::add(const PlotPoint& point) {
  if (!plot_.second.empty()) {
    plot_.smallestMargin.push_back(point.smallestMargin);
    return;
  }
  for (int k = 0; k < clearanceCount; ++k) plot_.lines[k].values.push_back(point.perDiameter[k]);
  for (std::size_t line = clearanceCount; line < plot_.lines.size(); ++line) {
    const std::size_t rule = line - clearanceCount;
    const bool judged = rule < point.requiredPerDiameter.size();
    plot_.lines[line].values.push_back(judged ? point.requiredPerDiameter[rule] : std::nullopt);
    if (judged && point.informative[rule] != 0 && !plot_.lines[line].informative) {
      plot_.lines[line].informative = true;
      plot_.lines[line].name += " (informative)";
    }
  }
  plot_.shaded.push_back(point.feasible ? 1 : 0);
}

}  // namespace propclear
