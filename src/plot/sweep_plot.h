#pragma once
// What the plot of a sweep shows, as plain values: the studies fill it, the
// desktop front end draws it (PNG, SVG or PDF), and nothing of the GUI
// toolkit crosses between them.
//
// One parameter: every clearance's signed gap per D against the parameter (a
// closing gap goes below zero), one line each;
// each rule line's required value per D as a dashed line; the values where
// the design is feasible shaded. Two parameters: a map of the smallest
// margin over the grid of both.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace propclear {

struct PlotLine {
  std::string name;
  bool dashed = false;                        // a required value
  bool informative = false;                   // a required value that never binds
  std::vector<std::optional<double>> values;  // per x; none where the design failed
};

struct SweepPlot {
  std::string title;
  std::string xTitle;  // "diameter (m)"
  std::vector<double> x;
  // One parameter:
  std::vector<PlotLine> lines;
  std::string yTitle;               // "clearance / D"
  std::vector<std::uint8_t> shaded;  // per x: 1 where the design is feasible
  std::string shadedLabel;          // where the shading is: "every rule holds"
  // Two parameters (second not empty):
  std::string secondTitle;  // "centre-z (m)"
  std::vector<double> second;
  std::string marginTitle;  // what the colours give: "smallest margin (m)"
  std::vector<std::optional<double>> smallestMargin;  // [ix * second.size() + iy]
};

}  // namespace propclear
