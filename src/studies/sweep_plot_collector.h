#pragma once
// Gathers the plot of a sweep design by design, in row order, and finds
// what its headline answers: the largest value at which every rule holds
// (nothing overlaps without rules) and the margin that binds it, or, when no
// value of the sweep meets them, the nearest miss.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "plot/sweep_plot.h"
#include "studies/design_assessment.h"
#include "studies/parameter_values.h"

namespace propclear {

// What the plot keeps of one design.
struct PlotPoint {
  std::array<std::optional<double>, clearanceCount> gapMetres;
  // Per clearance: its gap, and with rules the smallest margin of the lines
  // that bind it; none where one of them was not measured.
  std::array<std::optional<double>, clearanceCount> panelMargin;
  std::vector<std::optional<double>> requiredMetres;  // per rule line
  std::vector<std::uint8_t> informative;              // per rule line: 1 if informative
  std::vector<BindingMargin> margins;                 // what decides feasibility
  std::optional<double> smallestMargin;
  bool feasible = false;
};

PlotPoint plotPointOf(const DesignAssessment& assessment, const StudyRules* rules);

// What the plot names and marks besides the designs.
struct SweepPlotFrame {
  std::string title;
  std::string designName;        // "Norvalek.TSK"
  std::vector<double> fileValues;  // the design file's value of each varied parameter
  std::optional<PlotSize> size;
};

class SweepPlotCollector {
 public:
  // `rules` may be null.
  SweepPlotCollector(const std::vector<ParameterValues>& varied, const StudyRules* rules,
                     SweepPlotFrame frame);

  void add(PlotPoint point);
  // The plot with its headline, once every design was added.
  const SweepPlot& finish();

 private:
  struct Miss {  // the design that came nearest to feasible
    double x = 0.0;
    std::string binding;
    double metres = 0.0;
  };

  void addToPanels(const PlotPoint& point);
  void noteHeadlineCrossing(const PlotPoint& point);

  SweepPlot plot_;
  const StudyParameter* parameter_;
  const StudyParameter* secondParameter_;  // the map's; the same as parameter_ for one
  bool rules_;
  std::size_t added_ = 0;
  std::optional<PlotPoint> previous_;
  std::optional<Crossing> lastEnd_;  // the last end of a feasible stretch inside the sweep
  std::string lastEndBinding_;
  std::optional<Miss> nearest_;
};

}  // namespace propclear
