#pragma once
// The design file a sweep or a solve starts from.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "design/design_data.h"
#include "studies/study_rules.h"

namespace propclear {

// The file a study reads when none is named: the plain run's, in the current
// directory.
std::filesystem::path defaultStudyDesignFile();

// Reads `file` with the blade of `propellerFile` (--propeller FILE), else of
// the propeller file beside it, as the plain run does (propellerTableFor);
// without one it keeps the B-series blade of its main data. A file that
// cannot be read, or whose contour has no terminator in time, is an input
// fault naming it; a bad propeller file one naming its line.
DesignData readStudyDesign(const std::filesystem::path& file,
                           const std::optional<std::filesystem::path>& propellerFile);

// The files a study reads besides its design files: --ship FILE and
// --propeller FILE, those given.
std::vector<std::filesystem::path> namedStudyInputs(const StudyRuleRequest& rules,
                                                    const std::optional<std::filesystem::path>& propellerFile);

// Refuses (RunError(ErrorKind::Usage) naming `option`) an output `target`
// that is one of the command's inputs: a design file of `designFiles`, the
// ship file or propeller file beside one, or a file of `namedInputs`, under
// any name (a link or a hard link too). "-", standard output, is no file.
void refuseOutputOverInputs(const char* option, const std::filesystem::path& target,
                            const std::vector<std::filesystem::path>& designFiles,
                            const std::vector<std::filesystem::path>& namedInputs);

// The message for a contour without a terminator, shared by every study.
std::string contourTooLongText();

}  // namespace propclear
