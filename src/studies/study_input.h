#pragma once
// The design file a sweep or a solve starts from.

#include <filesystem>
#include <string>
#include <vector>

#include "design/design_data.h"

namespace propclear {

// The file a study reads when none is named: the plain run's, in the current
// directory.
std::filesystem::path defaultStudyDesignFile();

// Reads `file` with the propeller file beside it (addPropellerBeside); a
// file that cannot be read, or whose contour has no terminator in time, is
// an input fault naming it.
DesignData readStudyDesign(const std::filesystem::path& file);

// Gives `design`, read from `file`, the blade of the propeller file beside
// it ("X.propeller.toml" beside "X.TSK"), as the plain run does; without
// one it keeps the B-series blade of its main data. A bad propeller file is
// an input fault naming its line.
void addPropellerBeside(DesignData& design, const std::filesystem::path& file);

// Refuses (RunError(ErrorKind::Usage) naming `option`) an output `target`
// that is one of the command's inputs: a design file of `designFiles` or the
// ship file or propeller file beside one, under any name (a link or a hard
// link too). "-",
// standard output, is no file.
void refuseOutputOverInputs(const char* option, const std::filesystem::path& target,
                            const std::vector<std::filesystem::path>& designFiles);

// The message for a contour without a terminator, shared by every study.
std::string contourTooLongText();

}  // namespace propclear
