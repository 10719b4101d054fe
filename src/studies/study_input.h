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

// Reads `file`; a file that cannot be read, or whose contour has no
// terminator in time, is an input fault naming it.
DesignData readStudyDesign(const std::filesystem::path& file);

// Refuses (RunError(ErrorKind::Usage) naming `option`) an output `target`
// that is one of the command's inputs: a design file of `designFiles` or the
// ship file beside one, under any name (a link or a hard link too). "-",
// standard output, is no file.
void refuseOutputOverInputs(const char* option, const std::filesystem::path& target,
                            const std::vector<std::filesystem::path>& designFiles);

// The message for a contour without a terminator, shared by every study.
std::string contourTooLongText();

}  // namespace propclear
