#pragma once
// The run's judged result as JSON, for scripts and spreadsheets: program
// version, ending, the overall status, the design data as read, the blade
// outline, the six clearances (a', b', c' of the lower blade as it turns),
// the mirrored lower blade's legacy a' and c', the clashes, the swept volume
// with the closest approaches to it, the plot extent, the rule check and the
// warnings. Lengths in metres, angles in degrees. The layout is documented in
// docs/outputs.md.

#include <string>
#include <vector>

#include "assessment/assessment.h"
#include "design/design_data.h"

namespace propclear {

class OutputFile;

// The target that means standard output.
inline constexpr const char* standardOutputTarget = "-";
// Raised with every change, so that a reader can tell which fields to
// expect: 2 added the signed gaps, 3 the turning blade and the closest
// approach; 4 made a' and c' the turning blade's everywhere (the mirrored
// ones moved to legacyClearances) and added the status, the clashes, each
// clearance's blade and status, and the warnings' kinds.
inline constexpr int jsonSchemaVersion = 4;

struct JsonResults {
  const char* ending;  // "completed", "wrong-geometry"
  const DesignData& design;
  const Assessment& assessment;
};

std::string jsonResultsText(const JsonResults& results);

// The judged result in brief, for a view that shows only the overall status,
// the clearances and the rule check (the studio in a browser while a handle
// is dragged): "ending", "status", "statusText", "clearances" and, where
// rules were checked, "ruleCheck", each as jsonResultsText writes it.
std::string jsonBriefText(const JsonResults& results);

// Writes the results to `file`.
void writeJsonResults(OutputFile& file, const JsonResults& results);

}  // namespace propclear
