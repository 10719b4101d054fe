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
#include "report/json_writer.h"
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

// What stops the best value from going further.
struct Binding {
  enum class Kind { RangeEnd, Unanalysable, Infeasible, Margin } kind = Kind::RangeEnd;
  std::string name;  // the margin that fails first past the best value
  double hereMetres = 0.0;
  double beyondMetres = 0.0;
  std::string error;  // why the design past the best value cannot be analysed
};

Binding bindingOf(const SolveResult& result, const StudyRules* rules) {
  Binding binding;
  if (!result.beyond) return binding;
  if (!result.atBeyond.analysed) {
    binding.kind = Binding::Kind::Unanalysable;
    binding.error = result.atBeyond.error;
    return binding;
  }
  binding.kind = Binding::Kind::Infeasible;
  const std::vector<BindingMargin> beyond = bindingMargins(result.atBeyond, rules);
  const BindingMargin* failing = failingMargin(beyond);
  const std::vector<BindingMargin> atBest = bindingMargins(result.atBest, rules);
  const auto here = std::find_if(atBest.begin(), atBest.end(), [&](const BindingMargin& m) {
    return failing != nullptr && m.name == failing->name;
  });
  if (here == atBest.end() || !result.atBeyond.invalid.empty()) return binding;
  binding.kind = Binding::Kind::Margin;
  binding.name = std::string(failing->name);
  binding.hereMetres = here->metres;
  binding.beyondMetres = failing->metres;
  return binding;
}

// "diameter >= 6.000 m": the side the answer lies on.
std::string boundText(const StudyParameter& parameter, SolveGoal goal, double value) {
  return std::string(parameter.name) + (goal == SolveGoal::Maximise ? " \u2265 " : " \u2264 ") +
         valueToThousandths(parameter, value);
}

void printBinding(std::ostream& out, const SolveResult& result, const SolveOptions& options,
                  const Binding& binding) {
  const std::string beyondText =
      result.beyond ? valueWithUnit(*options.parameter, *result.beyond) : std::string();
  switch (binding.kind) {
    case Binding::Kind::RangeEnd:
      out << "bound: " << boundText(*options.parameter, options.goal, result.best)
          << ": the range's end \u2014 widen --range\n";
      return;
    case Binding::Kind::Unanalysable:
      out << "binding: the design cannot be analysed at " << beyondText << ": " << binding.error
          << '\n';
      return;
    case Binding::Kind::Infeasible:
      out << "binding: none of the margins; the design is infeasible at " << beyondText;
      if (!result.atBeyond.invalid.empty()) out << ": " << result.atBeyond.invalid.front();
      out << '\n';
      return;
    case Binding::Kind::Margin:
      out << "binding: " << binding.name << " (" << bindingText(binding.hereMetres) << " here, "
          << bindingText(binding.beyondMetres) << " at " << beyondText << ")\n";
      return;
  }
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
  printBinding(out, result, options, bindingOf(result, rules));
  out << (rules != nullptr ? "margins at the best value (rule lines):\n"
                           : "margins at the best value (negative: overlap):\n");
  printMargins(out, bindingMargins(result.atBest, rules));
  printIntervals(out, result, parameter);
}

const char* bindingKindText(Binding::Kind kind) {
  switch (kind) {
    case Binding::Kind::RangeEnd: return "range-end";
    case Binding::Kind::Unanalysable: return "not-analysed";
    case Binding::Kind::Infeasible: return "infeasible";
    case Binding::Kind::Margin: return "margin";
  }
  return "range-end";
}

void writeBindingJson(JsonWriter& json, const SolveResult& result, const Binding& binding) {
  json.key("binding");
  json.openObject(JsonWriter::Layout::Inline);
  json.member("kind", bindingKindText(binding.kind));
  if (result.beyond) json.member("beyond", *result.beyond);
  if (binding.kind == Binding::Kind::Margin) {
    json.member("name", binding.name);
    json.member("here_m", binding.hereMetres);
    json.member("beyond_m", binding.beyondMetres);
  }
  if (binding.kind == Binding::Kind::Unanalysable) json.member("error", binding.error);
  if (binding.kind == Binding::Kind::Infeasible && !result.atBeyond.invalid.empty()) {
    json.member("invalid", result.atBeyond.invalid.front());
  }
  json.close();
}

void writeMarginsJson(JsonWriter& json, const std::vector<BindingMargin>& margins) {
  json.key("margins");
  json.openArray();
  for (const BindingMargin& margin : margins) {
    json.openObject(JsonWriter::Layout::Inline);
    json.member("name", margin.name);
    json.key("margin_m");
    if (margin.measured) {
      json.value(margin.metres, "a margin");
    } else {
      json.null();
    }
    json.close();
  }
  json.close();
}

// The answer as one JSON object: the best value, whether it is the range's
// end (a bound) or a limit inside it, and what binds it.
std::string solveJson(const SolveResult& result, const SolveOptions& options,
                      const StudyRules* rules) {
  JsonWriter json;
  json.openObject();
  json.member("parameter", options.parameter->name);
  json.member("unit", options.parameter->unit);
  json.member("goal", options.goal == SolveGoal::Maximise ? "maximise" : "minimise");
  json.member("range_start", result.range.start);
  json.member("range_stop", result.range.stop);
  json.member("found", !result.intervals.empty());
  if (!result.intervals.empty()) {
    json.member("best", result.best);
    json.member("at_range_end", result.atRangeEnd());
    writeBindingJson(json, result, bindingOf(result, rules));
    writeMarginsJson(json, bindingMargins(result.atBest, rules));
  }
  json.key("intervals");
  json.openArray(JsonWriter::Layout::Inline);
  for (const FeasibleInterval& interval : result.intervals) {
    json.openArray(JsonWriter::Layout::Inline);
    json.value(interval.first, "an interval's start");
    json.value(interval.last, "an interval's end");
    json.close();
  }
  json.close();
  if (options.writeFile && !result.intervals.empty()) {
    json.member("written", options.writeFile->string());
  }
  json.close();
  return json.text();
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
  OutputFile file(*options.writeFile, options.writeFile->string(), OutputFile::Devices::WriteInto);
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
  if (options.writeFile) {
    refuseOutputOverInputs("--write", *options.writeFile, {options.designFile},
                           namedStudyInputs(options.rules, options.propellerFile));
  }
  const DesignData fileDesign = readStudyDesign(options.designFile, options.propellerFile);
  if (options.keep == KeepMode::TipToHeel && options.parameter->name == "centre-z") {
    throw RunError(ErrorKind::Usage,
                   "--keep tip-to-heel moves centre-z itself: it cannot be what a solve varies");
  }
  const std::optional<StudyRules> rules = StudyRules::of(options.rules, options.designFile, fileDesign);
  const StudyRules* judge = rules ? &*rules : nullptr;
  const SolveResult result = solveParameter(fileDesign, options, judge);
  if (options.writeFile && !result.intervals.empty()) {
    writeSolution(fileDesign, options, result.best);
  }
  if (options.json) {
    out << solveJson(result, options, judge);
  } else {
    printSearch(out, result, options, rules);
  }
  if (result.intervals.empty()) {
    messages << "propclear solve: no feasible value in the range "
             << rangeText(*options.parameter, result.range) << '\n';
    return noFeasibleValueStatus;
  }
  if (options.json) return 0;
  printResult(out, result, options, judge);
  if (options.keep == KeepMode::TipToHeel) {
    const ParameterSetting setting{options.parameter, result.best};
    out << "centre-z at the best value: "
        << readableNumber(editDesign(fileDesign, {&setting, 1}, options.keep).propellerCentreZ)
        << " m\n";
  }
  if (options.writeFile) {
    out << "written: " << options.writeFile->string() << '\n';
  }
  return 0;
}

}  // namespace propclear
