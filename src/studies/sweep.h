#pragma once
// The sweep: every design of a range (or a grid of two ranges) of parameter
// values, one row each, in order, computed on every core. A design that
// cannot be analysed is a row with its error; the sweep goes on.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "studies/parameter_values.h"
#include "plot/sweep_plot.h"
#include "studies/row_builder.h"
#include "studies/study_rules.h"

namespace propclear {

// Plots hold every design's values; more than a plot can show is refused.
inline constexpr std::uint64_t maxPlottedDesigns = 100'000;

// Saves the plot as the file's extension says (.png, .svg, .pdf); throws
// RunError naming the file.
using SaveSweepPlot = std::function<void(const SweepPlot&, const std::filesystem::path&)>;

struct SweepOptions {
  std::filesystem::path designFile;
  std::vector<ParameterValues> varied;  // one or two; the first varies slowest
  StudyRuleRequest rules;  // --ship, --rules, --ship-set
  std::optional<std::filesystem::path> propellerFile;  // --propeller, else the one beside the design
  RowFormat format = RowFormat::Csv;
  std::string target = "-";             // "-": standard output
  std::optional<std::filesystem::path> plotFile;
  std::optional<PlotSize> plotSize;  // --plot-size WxH
  unsigned threads = 1;
};

// Runs the sweep; `savePlot` is empty in a build that cannot save images.
// Faults of the options, the design file or the targets throw RunError
// before any row is written.
void runSweep(const SweepOptions& options, const SaveSweepPlot& savePlot, std::ostream& messages);

}  // namespace propclear
