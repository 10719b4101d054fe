#pragma once
// What the one-page clearance report shows, as plain values: the design, its
// analysis, the rule check when the run has a ship file, the design file and
// the run's warnings; and what follows from them for the page: its title, the
// clearances it dimensions, the mark of each, and the table of signed gaps
// that stands in for the rule check without a ship file. The page itself is
// laid out by the desktop front end.
//
// The report shows the lower blade as the propeller turns it, as the rule
// check judges it: its a' and c' are the turning blade's, not the mirrored
// blade's of the established report (the run warns when the two differ).

#include <filesystem>
#include <string>
#include <vector>

#include "clearance/stern_analysis.h"
#include "design/design_data.h"
#include "rules/check_clearance_rules.h"

namespace propclear {

struct ClearanceReportContent {
  const DesignData& design;
  const SternAnalysis& analysis;
  const RuleCheck* ruleCheck = nullptr;  // none: the run has no ship file
  std::filesystem::path designFile;
  std::vector<std::string> warnings;  // the run's, as it printed them
};

// The ship's name, or the design file's name when there is none.
std::string clearanceReportTitle(const ClearanceReportContent& content);

// The six clearances the report dimensions: a, b and c as measured, a' and
// c' of the turning lower blade, b' as measured but below the turning
// blade's tip (under the upper tip); and their signed gaps (none against a
// stand-in target).
struct ReportedClearances {
  ClearanceSet segments;
  SignedGaps signedGaps;
};

ReportedClearances reportedClearancesOf(const SternAnalysis& analysis);

// How a clearance is drawn: its worst finding over every rule line about it.
// In rising order of concern; a stand-in target ranks just below an overlap,
// as nothing can be said about the real gap.
enum class ClearanceMark {
  Clear,             // meets every minimum, or no rule check
  BelowInformative,  // below an informative minimum only
  BelowMinimum,      // below a binding minimum
  NotMeasured,       // measured against a stand-in, not the structure
  Overlap,           // the blade overlaps the structure
};

ClearanceMark clearanceMarkOf(const ClearanceReportContent& content, int clearance);

// The finding of one line of the rule check.
ClearanceMark clearanceMarkOf(const RuleLine& line);

// The six clearances with their signed gaps, for a run without a ship file:
//   clearance  length m  /D     signed gap m  /D      state
//   a          0.612     0.133  0.612         0.133   clear
struct SignedGapTable {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;  // a, b, c, a', b', c'
};

SignedGapTable signedGapTable(const ClearanceReportContent& content);

}  // namespace propclear
