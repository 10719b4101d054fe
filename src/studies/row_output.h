#pragma once
// Where the rows of a study go: standard output for "-", otherwise a file,
// put in place when the study is done (an earlier file stays as it was if
// the study fails) or, for a device such as /dev/null, written into.

#include <memory>
#include <string>

#include "common/output_file.h"

namespace propclear {

// Opens the target at once, so that one that cannot be written fails before
// any design is computed.
std::unique_ptr<OutputFile> openRowOutput(const std::string& target);

}  // namespace propclear
