#pragma once
// Gathers the plot of a sweep design by design, in row order.

#include <optional>
#include <string>
#include <vector>

#include "studies/design_assessment.h"
#include "studies/parameter_values.h"
#include "plot/sweep_plot.h"

namespace propclear {

// What the plot keeps of one design.
struct PlotPoint {
  std::array<std::optional<double>, clearanceCount> perDiameter;  // signed gap / D
  std::vector<std::optional<double>> requiredPerDiameter;  // per rule line
  std::vector<std::uint8_t> informative;                   // per rule line: 1 if informative
  std::optional<double> smallestMargin;
  bool feasible = false;
};

PlotPoint plotPointOf(const DesignAssessment& assessment, const StudyRules* rules);

class SweepPlotCollector {
 public:
  // `title` heads the plot; `rules` may be null.
  SweepPlotCollector(const std::vector<ParameterValues>& varied, const StudyRules* rules,
                     std::string title);

  void add(const PlotPoint& point);
  const SweepPlot& plot() const { return plot_; }

 private:
  SweepPlot plot_;
};

}  // namespace propclear
