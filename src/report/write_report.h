#pragma once
// The result report "Norvalek.SON": input echo and the six clearances.

#include <string>
#include <string_view>
#include <vector>

#include "clearance/clearance_segment.h"
#include "design/design_data.h"

namespace propclear {

class OutputFile;

inline constexpr const char* reportFileName = "Norvalek.SON";
inline constexpr int reportLineCount = 38;

// A line of the title frame holding `text` (the author and contact lines):
// "#######", four blanks, the text cut to its 62 places, blanks up to
// character 73, "########".
std::string reportFrameLine(std::string_view text);

// The 38 report lines, without line ends.
std::vector<std::string> reportLines(const DesignData& design, const ClearanceSet& clearances);

// Appends the 38 report lines to the open report file.
void writeReport(OutputFile& report, const DesignData& design, const ClearanceSet& clearances);

}  // namespace propclear
