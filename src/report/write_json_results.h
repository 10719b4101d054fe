#pragma once
// The run's results as JSON, for scripts and spreadsheets: program version,
// ending, the design data as read, the blade outline, the six clearances
// (the lower three also for the blade as it turns), the swept volume with the
// closest approaches to it, the plot extent and the warnings. Lengths in
// metres, angles in degrees. The layout is documented in docs/outputs.md; fields
// are only ever added.

#include <string>
#include <vector>

#include "clearance/stern_analysis.h"
#include "design/design_data.h"
#include "rules/check_clearance_rules.h"

namespace propclear {

class OutputFile;

// The target that means standard output.
inline constexpr const char* standardOutputTarget = "-";
// Raised with every addition, so that a reader can tell which fields to
// expect: 2 added the signed gaps, 3 the turning blade and the closest
// approach.
inline constexpr int jsonSchemaVersion = 3;

struct JsonResults {
  const char* ending;  // "completed", "wrong-geometry"
  const DesignData& design;
  const SternAnalysis& analysis;
  const RuleCheck* ruleCheck = nullptr;  // the "ruleCheck" member, when the run checked rules
};

std::string jsonResultsText(const JsonResults& results);

// Writes the results to `file`.
void writeJsonResults(OutputFile& file, const JsonResults& results);

}  // namespace propclear
