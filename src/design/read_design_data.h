#pragma once
// Reader of the design file "Norvalek.TSK".

#include <filesystem>

#include "design/design_data.h"

namespace propclear {

inline constexpr const char* designFileName = "Norvalek.TSK";

enum class ReadOutcome {
  Read,             // the design data are complete
  ContourTooLong,   // no terminator within the allowed contour lines; nothing else is read
};

struct ReadResult {
  ReadOutcome outcome = ReadOutcome::Read;
  DesignData design;
};

// Reads the design file at `path` (named `displayName` in messages). Malformed
// input, a missing or unreadable file and an early end of file throw
// RunError(ErrorKind::Input) naming file, line and column. An over-long contour
// returns ReadOutcome::ContourTooLong; the file is closed before the caller
// tells the user.
ReadResult readDesignData(const std::filesystem::path& path);

}  // namespace propclear
