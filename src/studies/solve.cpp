#include "studies/solve.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "common/checked_math.h"
#include "common/format_number.h"
#include "common/output_file.h"
#include "common/run_error.h"
#include "design/design_file_text.h"
#include "design/rewrite_design_text.h"
#include "studies/decimal_grid.h"
#include "studies/feasible_intervals.h"
#include "studies/ordered_parallel.h"
#include "studies/parameter_values.h"
#include "studies/study_input.h"

namespace propclear {

namespace {

// The scan looks at every tenth grid value: 1 mm for lengths.
constexpr std::int64_t scanStride = 10;
// A solve scans at most this many values (a range of a kilometre in mm).
constexpr std::int64_t maxScannedValues = 1'000'000;
// Default ranges: sizes from half to one and a half times the file's value,
// positions and shifts 2 m, the rake 10 degrees either way.
constexpr double sizeRangeFactor = 0.5;
constexpr double positionRange = 2.0;
constexpr double rakeRange = 10.0;

std::string rangeText(const StudyParameter& parameter, const SolveRange& range) {
  return readableNumber(range.start) + " to " + valueWithUnit(parameter, range.stop);
}

DecimalGrid gridOf(const StudyParameter& parameter, const SolveRange& range) {
  const int resolutionPlaces = decimalPlacesOf(readableNumber(parameter.resolution));
  return {range.start, parameter.resolution, commonDecimalPlaces(range.places, resolutionPlaces)};
}

std::int64_t lastIndexOf(const StudyParameter& parameter, const SolveRange& range) {
  const double steps = checkedDivide(range.stop - range.start, parameter.resolution, "a solve's grid");
  if (steps > static_cast<double>(scanStride * maxScannedValues)) {
    throw RunError(ErrorKind::Usage,
                   "--range " + rangeText(parameter, range) + ": too wide to scan every " +
                       valueWithUnit(parameter, parameter.resolution * scanStride) + " (at most " +
                       std::to_string(maxScannedValues) + " values)");
  }
  return static_cast<std::int64_t>(wholeSteps(steps));
}

// The designs of a solve: each value of the grid edited into the file's
// design and judged; a scan's values on every core.
class Search {
 public:
  Search(const DesignData& fileDesign, const SolveOptions& options, const StudyRules* rules,
         const DecimalGrid& grid)
      : fileDesign_(fileDesign), options_(options), rules_(rules), grid_(grid) {}

  DesignAssessment assessAt(double value, DesignData& workspace) const {
    const ParameterSetting setting{options_.parameter, value};
    return assessDesign(workspace, fileDesign_, {&setting, 1}, options_.keep, rules_);
  }
  DesignAssessment assessAt(double value) const {
    DesignData workspace = fileDesign_;
    return assessAt(value, workspace);
  }

  std::vector<bool> feasibilityOf(const std::vector<std::int64_t>& indices) const {
    // One value of a bisection is not worth a thread.
    if (indices.size() == 1) return {isFeasible(assessAt(grid_.at(indices.front())), rules_)};
    std::vector<bool> feasible;
    feasible.reserve(indices.size());
    const unsigned threads = std::min<unsigned>(options_.threads, static_cast<unsigned>(indices.size()));
    std::vector<DesignData> workspaces(threads, fileDesign_);
    mapInOrder<std::uint8_t>(
        {indices.size(), threads, 256},
        [&](std::uint64_t i, unsigned worker) {
          const DesignAssessment assessment = assessAt(grid_.at(indices[i]), workspaces[worker]);
          return static_cast<std::uint8_t>(isFeasible(assessment, rules_));
        },
        [&](std::uint8_t& item) { feasible.push_back(item != 0); });
    return feasible;
  }

 private:
  const DesignData& fileDesign_;
  const SolveOptions& options_;
  const StudyRules* rules_;
  DecimalGrid grid_;
};

// Margins in metres to 0.1 mm; a binding margin, close to 0, in millimetres
// to a micrometre.
std::string fixedText(double value, int decimals) {
  std::string text = formatFixed(value, 1, decimals);
  if (text.back() == '%') text.pop_back();
  return text;
}
std::string marginText(double metres) { return fixedText(metres, 4) + " m"; }
std::string bindingText(double metres) { return fixedText(metres * 1000.0, 3) + " mm"; }

// The margin that fails first past the best value: the smallest there.
const BindingMargin* failingMargin(const std::vector<BindingMargin>& margins) {
  const auto smallest = std::min_element(margins.begin(), margins.end(),
                                         [](const BindingMargin& a, const BindingMargin& b) {
                                           return a.metres < b.metres;
                                         });
  return smallest == margins.end() ? nullptr : &*smallest;
}

void printBinding(std::ostream& out, const SolveResult& result, const SolveOptions& options,
                  const StudyRules* rules) {
  if (!result.beyond) {
    out << "binding: none; the best value is the end of the range\n";
    return;
  }
  const std::string beyondText = valueWithUnit(*options.parameter, *result.beyond);
  if (!result.atBeyond.analysed) {
    out << "binding: the design cannot be analysed at " << beyondText << ": "
        << result.atBeyond.error << '\n';
    return;
  }
  const std::vector<BindingMargin> beyond = bindingMargins(result.atBeyond, rules);
  const BindingMargin* failing = failingMargin(beyond);
  const std::vector<BindingMargin> atBest = bindingMargins(result.atBest, rules);
  const auto here = std::find_if(atBest.begin(), atBest.end(), [&](const BindingMargin& m) {
    return failing != nullptr && m.name == failing->name;
  });
  if (here == atBest.end()) {
    out << "binding: none of the margins; the design is infeasible at " << beyondText << '\n';
    return;
  }
  out << "binding: " << failing->name << " (" << bindingText(here->metres) << " here, "
      << bindingText(failing->metres) << " at " << beyondText << ")\n";
}

void printMargins(std::ostream& out, const std::vector<BindingMargin>& margins) {
  std::size_t width = 0;
  for (const BindingMargin& margin : margins) width = std::max(width, margin.name.size());
  for (const BindingMargin& margin : margins) {
    out << "  " << margin.name << std::string(width - margin.name.size() + 2, ' ')
        << (margin.measured ? marginText(margin.metres) : "not measured") << '\n';
  }
}

void printIntervals(std::ostream& out, const SolveResult& result, const StudyParameter& parameter) {
  out << "feasible intervals:\n";
  for (const FeasibleInterval& interval : result.intervals) {
    out << "  " << readableNumber(interval.first) << " to " << valueWithUnit(parameter, interval.last);
    if (interval.first == result.range.start) out << " (from the start of the range)";
    if (interval.last == result.lastValue) out << " (to the end of the range)";
    out << '\n';
  }
}

void printResult(std::ostream& out, const SolveResult& result, const SolveOptions& options,
                 const StudyRules* rules) {
  const StudyParameter& parameter = *options.parameter;
  out << "best: " << parameter.name << " = " << valueWithUnit(parameter, result.best) << '\n';
  printBinding(out, result, options, rules);
  out << (rules != nullptr ? "margins at the best value (rule lines):\n"
                           : "margins at the best value (negative: overlap):\n");
  printMargins(out, bindingMargins(result.atBest, rules));
  printIntervals(out, result, parameter);
}

std::string ruleSetsText(const StudyRules& rules) {
  std::string text;
  for (const std::string& name : rules.ruleSets()) {
    if (!text.empty()) text += ", ";
    text += name;
  }
  return text;
}

void printSearch(std::ostream& out, const SolveResult& result, const SolveOptions& options,
                 const std::optional<StudyRules>& rules) {
  const StudyParameter& parameter = *options.parameter;
  out << (options.goal == SolveGoal::Maximise ? "largest " : "smallest ") << parameter.name
      << " of " << options.designFile.string() << '\n';
  out << "feasible: "
      << (rules ? "every binding rule line of " + ruleSetsText(*rules) +
                      " holds and nothing overlaps"
                : std::string("nothing overlaps (every gap positive, also of the turning blade and "
                              "the swept volume)"))
      << '\n';
  out << "searched: " << rangeText(parameter, result.range) << ", every "
      << valueWithUnit(parameter, parameter.resolution * scanStride) << ", boundaries to "
      << valueWithUnit(parameter, parameter.resolution) << ", "
      << (options.keep == KeepMode::Centre ? "shaft centre kept"
                                           : "centre moved to keep the lower tip's height (b')")
      << '\n';
}

void writeSolution(const DesignData& fileDesign, const SolveOptions& options, double best) {
  const ParameterSetting setting{options.parameter, best};
  const DesignData design = editDesign(fileDesign, {&setting, 1}, options.keep);
  const std::string text = rewriteDesignText(readDesignFileText(options.designFile),
                                             options.designFile.string(), design);
  OutputFile file(*options.writeFile, options.writeFile->string(), OutputFile::Devices::Refuse);
  file.writeText(text);
  file.commit();
}

}  // namespace

SolveRange parseSolveRange(const std::string& text) {
  const std::string optionText = "--range " + text;
  const std::vector<std::string_view> parts = splitAt(text, ':');
  if (parts.size() != 2) throw RunError(ErrorKind::Usage, optionText + ": a range is START:STOP");
  const SolveRange range{parseOptionNumber(parts[0], optionText),
                         parseOptionNumber(parts[1], optionText), decimalPlacesOf(parts[0])};
  if (!(range.start < range.stop)) {
    throw RunError(ErrorKind::Usage, optionText + ": START must lie below STOP");
  }
  return range;
}

SolveRange defaultSolveRange(const StudyParameter& parameter, const DesignData& fileDesign) {
  const double value = parameter.valueIn(fileDesign);
  const int places = decimalPlacesOf(readableNumber(parameter.resolution));
  const auto around = [&](double low, double high) {
    return SolveRange{roundToDecimalPlaces(low, places), roundToDecimalPlaces(high, places), places};
  };
  switch (parameter.kind) {
    case ParameterKind::Size:
      if (!(value > 0.0)) {
        throw RunError(ErrorKind::Usage, "the file's " + std::string(parameter.name) + " is " +
                                             readableNumber(value) +
                                             ": give the range to search with --range START:STOP");
      }
      return around(value * sizeRangeFactor, value * (1.0 + sizeRangeFactor));
    case ParameterKind::Position:
    case ParameterKind::Shift:
      return around(value - positionRange, value + positionRange);
    case ParameterKind::Angle:
      return around(value - rakeRange, value + rakeRange);
  }
  return around(value, value);
}

SolveResult solveParameter(const DesignData& fileDesign, const SolveOptions& options,
                           const StudyRules* rules) {
  const StudyParameter& parameter = *options.parameter;
  SolveResult result;
  result.range = options.range ? *options.range : defaultSolveRange(parameter, fileDesign);
  const DecimalGrid grid = gridOf(parameter, result.range);
  const std::int64_t lastIndex = lastIndexOf(parameter, result.range);
  const Search search(fileDesign, options, rules, grid);
  const std::vector<IndexInterval> intervals = findFeasibleIntervals(
      lastIndex, scanStride, [&](const std::vector<std::int64_t>& indices) {
        return search.feasibilityOf(indices);
      });
  result.lastValue = grid.at(lastIndex);
  for (const IndexInterval& interval : intervals) {
    result.intervals.push_back({grid.at(interval.first), grid.at(interval.last)});
  }
  if (intervals.empty()) return result;
  const bool maximise = options.goal == SolveGoal::Maximise;
  const std::int64_t best = maximise ? intervals.back().last : intervals.front().first;
  result.best = grid.at(best);
  result.atBest = search.assessAt(result.best);
  const std::int64_t beyond = maximise ? best + 1 : best - 1;
  if (beyond >= 0 && beyond <= lastIndex) {
    result.beyond = grid.at(beyond);
    result.atBeyond = search.assessAt(*result.beyond);
  }
  return result;
}

int runSolve(const SolveOptions& options, std::ostream& out, std::ostream& messages) {
  const DesignData fileDesign = readStudyDesign(options.designFile);
  if (options.keep == KeepMode::TipToHeel && options.parameter->name == "centre-z") {
    throw RunError(ErrorKind::Usage,
                   "--keep tip-to-heel moves centre-z itself: it cannot be what a solve varies");
  }
  const std::optional<StudyRules> rules = StudyRules::of(options.rules, options.designFile);
  const StudyRules* judge = rules ? &*rules : nullptr;
  const SolveResult result = solveParameter(fileDesign, options, judge);
  printSearch(out, result, options, rules);
  if (result.intervals.empty()) {
    messages << "propclear solve: no feasible value in the range "
             << rangeText(*options.parameter, result.range) << '\n';
    return noFeasibleValueStatus;
  }
  printResult(out, result, options, judge);
  if (options.keep == KeepMode::TipToHeel) {
    const ParameterSetting setting{options.parameter, result.best};
    out << "centre-z at the best value: "
        << readableNumber(editDesign(fileDesign, {&setting, 1}, options.keep).propellerCentreZ)
        << " m\n";
  }
  if (options.writeFile) {
    writeSolution(fileDesign, options, result.best);
    out << "written: " << options.writeFile->string() << '\n';
  }
  return 0;
}

}  // namespace propclear
