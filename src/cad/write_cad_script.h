#pragma once
// The CAD command script "Norvalek.SCR" (AutoCAD script format) that redraws
// the stern geometry and the six clearances; coordinates in millimetres.

#include <string>

#include "clearance/stern_analysis.h"
#include "design/design_data.h"

namespace propclear {

class OutputFile;

inline constexpr const char* cadScriptFileName = "Norvalek.SCR";

// A number as the CAD program reads it: plain decimal notation, at most 15
// significant digits, no trailing zeros, no "-0", never an exponent.
std::string formatCadNumber(double value);
// The same, appended to `out`.
void appendCadNumber(std::string& out, double value);

// The script as the file holds it: every line ended by CR LF.
std::string cadScriptText(const DesignData& design, const SternAnalysis& analysis);

// Writes the script to `script`.
void writeCadScript(OutputFile& script, const DesignData& design, const SternAnalysis& analysis);

}  // namespace propclear
