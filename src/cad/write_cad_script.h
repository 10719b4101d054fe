#pragma once
// The CAD command script "Norvalek.SCR" (AutoCAD script format) that redraws
// the stern geometry and the six clearances; coordinates in millimetres.

#include <string>

#include "assessment/assessment.h"
#include "design/design_data.h"

namespace propclear {

class OutputFile;

inline constexpr const char* cadScriptFileName = "Norvalek.SCR";

// A number as the CAD program reads it: plain decimal notation, at most 15
// significant digits, no trailing zeros, no "-0", never an exponent.
std::string formatCadNumber(double value);
// The same, appended to `out`.
void appendCadNumber(std::string& out, double value);

// The script as the file holds it: every line ended by CR LF. The analysis's
// established records, a' and c' of the mirrored lower blade, are drawn.
std::string cadScriptText(const DesignData& design, const SternAnalysis& analysis);

// Writes the script of the assessed design to `script`: its a' and c' are
// the legacy figures of the mirrored lower blade (legacyReportRecords).
void writeCadScript(OutputFile& script, const DesignData& design, const Assessment& assessment);

}  // namespace propclear
