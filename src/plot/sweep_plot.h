#pragma once
// What the plot of a sweep shows, as plain values: the studies fill it, the
// desktop front end draws it (PNG, SVG or PDF), and nothing of the GUI
// toolkit crosses between them.
//
// Both kinds open with a headline that answers the question the sweep asks
// (the largest value meeting every rule, what binds it, or why no value
// does) and mark the design file's own values.
//
// One parameter: one small panel per clearance over a shared x axis, each
// with its signed gap, the required minimum of each rule line that judges
// it, the values where it meets them shaded, and every crossing between
// meeting and failing marked with its value. Two parameters: a map of the
// smallest margin over the grid of both, its zero contour drawn and the
// feasible designs shaded.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "plot/plot_size.h"

namespace propclear {

// A rule line's required minimum of one clearance, m, per x.
struct RequiredLine {
  std::string label;           // "lr-recommended b"
  bool informative = false;    // never binds: drawn dotted
  std::vector<std::optional<double>> metres;  // none where the line does not apply
};

// Where a clearance starts or stops meeting its minimum, between two values.
struct Crossing {
  double x = 0.0;
  std::string text;  // "3.757 m"
};

struct SweepPanel {
  std::string clearance;                         // "b'"
  std::vector<std::optional<double>> gapMetres;  // signed; none: not measured
  std::vector<RequiredLine> required;            // empty without rules: the minimum is 0
  std::vector<std::uint8_t> meets;               // per x: 1 where it meets every minimum
  std::vector<Crossing> crossings;
};

// A segment of the zero contour of the map's smallest margin.
struct ContourSegment {
  double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
};

struct SweepPlot {
  std::string title;
  std::string headline;  // "Largest D meeting every rule: 3.757 m — bound by a (lr-recommended a)"
  std::optional<PlotSize> size;  // --plot-size; none: the default
  std::string xTitle;            // "diameter (m)"
  std::vector<double> x;
  std::optional<double> currentX;  // the design file's value
  std::string currentLabel;        // "Norvalek.TSK: 4.6 m"
  // One parameter:
  std::vector<SweepPanel> panels;
  std::string yTitle;                // "signed gap (m)"
  std::vector<std::uint8_t> shaded;  // per x: 1 where the design is feasible
  std::string shadedLabel;           // "every rule holds"
  // Two parameters (second not empty):
  std::string secondTitle;  // "centre-z (m)"
  std::vector<double> second;
  std::optional<double> currentSecond;
  std::string marginTitle;  // what the colours give: "smallest margin (m)"
  std::vector<std::optional<double>> smallestMargin;  // [ix * second.size() + iy]
  std::vector<std::uint8_t> feasible;                 // [ix * second.size() + iy]
  std::vector<ContourSegment> zeroContour;
};

}  // namespace propclear
