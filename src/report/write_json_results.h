#pragma once
// The run's results as JSON, for scripts and spreadsheets: program version,
// ending, the design data as read, the blade outline, the six clearances, the
// plot extent and the warnings. Lengths in metres, angles in degrees. The
// layout is documented in README.md; fields are only ever added.

#include <string>
#include <vector>

#include "clearance/stern_analysis.h"
#include "design/design_data.h"

namespace propclear {

// The target that means standard output.
inline constexpr const char* standardOutputTarget = "-";
// Raised when a field changes meaning or goes away.
inline constexpr int jsonSchemaVersion = 2;

struct JsonResults {
  const char* ending;  // "completed", "wrong-geometry"
  const DesignData& design;
  const SternAnalysis& analysis;
};

std::string jsonResultsText(const JsonResults& results);

// Writes the results to the file `target` (through a temporary file that
// replaces an earlier one only when complete), or to standard output for "-".
void writeJsonResults(const std::string& target, const JsonResults& results);

}  // namespace propclear
