#pragma once
// The rule check: each chosen rule set's required minima against the six
// measured clearances, one line per requirement, and an overall verdict.
// A pure function of the ship's particulars, the design's D and the measured
// clearances.
//
// A clearance is judged on its signed gap: an overlap (a negative gap) is
// below every minimum; a clearance without a signed gap (measured against a
// fallback) cannot be judged and reads "not measured". Informative lines are
// judged and shown but leave the overall verdict alone; a line that does not
// apply to the ship's rudder ("not applicable") is informative too. A line on a clearance
// the analysis did not measure at all (a closest approach without a swept
// volume) is left out.

#include <optional>
#include <string>
#include <vector>

#include "rules/measured_clearance.h"
#include "rules/rule_set.h"
#include "rules/ship_particulars.h"

namespace propclear {

enum class RuleVerdict { Meets, BelowMinimum, NotMeasured, NotApplicable };

enum class OverallVerdict {
  Meets,            // every binding line meets its minimum
  BelowMinimum,     // at least one binding line is below its minimum
  NotJudged,        // none is below, but at least one binding line is not measured
  InformativeOnly,  // the chosen rule sets have informative lines only
};

struct RuleLine {
  int clearance = 0;  // JudgedClearance
  std::string ruleSet;
  std::string sourceLetter;  // "LR a", "tip", "a'"
  std::string basis;         // the term that gave the required value
  double requiredMetres = 0.0;
  double requiredPerDiameter = 0.0;
  double lengthMetres = 0.0;  // as the analysis measured it, never negative
  // The signed gap and what follows from it; none for a line not measured.
  std::optional<double> measuredMetres;
  std::optional<double> measuredPerDiameter;
  std::optional<double> marginMetres;   // measured - required
  std::optional<double> marginPercent;  // of the required value
  RuleVerdict verdict = RuleVerdict::NotMeasured;
  bool overlap = false;  // blade and structure overlap
  bool informative = false;
  std::string reason;  // why a line is not applicable: "spade rudder, no heel under the disc"
  std::string note;    // what the reader must know about what was measured: which heel
};

struct RuleCheck {
  std::string shipName;
  std::string shipSource;  // the ship file's name, or the command line's options
  double propellerDiameterMetres = 0.0;
  std::vector<RuleSetSummary> ruleSets;  // in the order chosen
  std::vector<RuleLine> lines;           // rule set by rule set, each in clearance order
  std::vector<std::string> notes;        // what a reader of the table must know
  OverallVerdict overall = OverallVerdict::InformativeOnly;
  int bindingLines = 0;     // lines that are not informative
  int linesBelow = 0;       // binding lines below their minimum
  int linesNotMeasured = 0;  // binding lines not measured
};

// Checks `measured` (a, b, c, a', b', c' and the others) against every rule set of
// ship.ruleSets. A propeller diameter that is not a positive finite number is
// an input fault: no minimum can be scaled by it.
RuleCheck checkClearanceRules(const ShipParticulars& ship, double propellerDiameterMetres,
                              const MeasuredClearances& measured);

// True when a binding line is below its minimum or not measured: what ends a
// run under --strict with the overlap's exit status.
bool failsStrictCheck(const RuleCheck& check);

// "meets", "below the recommended minimum", "not measured", "not applicable".
const char* verdictText(RuleVerdict verdict);

// The verdict with the reason a line does not apply: "not applicable — spade
// rudder, no heel under the disc".
std::string verdictWithReason(const RuleLine& line);

// The line's verdict as every table words it: the verdict with its reason,
// then "(overlap)" where blade and structure overlap and "(informative)" on
// an informative line that applies: "meets (informative)".
std::string ruleLineVerdictText(const RuleLine& line);

// The overall verdict in words: "meets every recommended minimum (5 lines)",
// "below the recommended minimum on 2 of 5 lines", ...
std::string overallVerdictText(const RuleCheck& check);

}  // namespace propclear
