#pragma once
// The solve: the largest (or smallest) value of one parameter for which the
// design is feasible (design_assessment.h). The range is scanned at ten
// resolution steps (1 mm for lengths) and every change between feasible and
// infeasible is refined by bisection to one resolution step (0.1 mm); every
// value lies on the grid START + i * resolution.

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "studies/design_assessment.h"
#include "studies/design_edit.h"
#include "studies/study_parameter.h"
#include "studies/study_rules.h"

namespace propclear {

enum class SolveGoal { Maximise, Minimise };

// Exit status of a solve that finds no feasible value in its range.
inline constexpr int noFeasibleValueStatus = 4;

struct SolveRange {
  double start = 0.0;
  double stop = 0.0;
  int places = -1;  // decimal places of start as written; -1: unknown
};

struct SolveOptions {
  std::filesystem::path designFile;
  const StudyParameter* parameter = nullptr;
  SolveGoal goal = SolveGoal::Maximise;
  std::optional<SolveRange> range;  // none: from the file's value
  KeepMode keep = KeepMode::Centre;
  StudyRuleRequest rules;  // --ship, --rules, --ship-set
  std::optional<std::filesystem::path> propellerFile;  // --propeller, else the one beside the design
  std::optional<std::filesystem::path> writeFile;
  bool json = false;  // the answer as one JSON object instead of text
  unsigned threads = 1;
};

struct FeasibleInterval {
  double first = 0.0;
  double last = 0.0;
};

struct SolveResult {
  SolveRange range;        // as searched
  double lastValue = 0.0;  // the grid's last value: STOP, or just below it
  std::vector<FeasibleInterval> intervals;
  // When an interval was found:
  double best = 0.0;
  DesignAssessment atBest;
  std::optional<double> beyond;  // the grid's next value past the best, infeasible
  DesignAssessment atBeyond;     // none at the range's end

  // The best value is the end of the range: a bound, not a limit.
  bool atRangeEnd() const { return !intervals.empty() && !beyond; }
};

// "--range START:STOP"; START must lie below STOP. A usage fault names the
// option and its value.
SolveRange parseSolveRange(const std::string& text);

// The range searched when none is given: half to one and a half times the
// file's value for sizes, the file's value +-2 m for positions and shifts,
// +-10 degrees for the rake.
SolveRange defaultSolveRange(const StudyParameter& parameter, const DesignData& fileDesign);

// Searches; `rules` may be null.
SolveResult solveParameter(const DesignData& fileDesign, const SolveOptions& options,
                           const StudyRules* rules);

// Reads the design, solves, prints the answer on `out` and writes the design
// at the best value when asked; returns the exit status (0, or
// noFeasibleValueStatus with a message on `messages`).
int runSolve(const SolveOptions& options, std::ostream& out, std::ostream& messages);

}  // namespace propclear
