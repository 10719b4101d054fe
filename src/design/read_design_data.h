#pragma once
// Reader of the design file "Norvalek.TSK".

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "design/design_data.h"
#include "design/number_stream.h"

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

// The name a file goes by in messages: its file name, or the whole path when
// it has none.
std::string displayNameOf(const std::filesystem::path& path);

// The same for a design file's text, named `displayName` in messages. When
// `numberSpans` is given, the place of every number read is appended to it in
// file order: propeller centre x and z, waterline height, D, Dh, P/D, Ear,
// rake angle, rudder corners 1 to 4 (x, z each), the contour points (z, x,
// code each) and the terminator line's three numbers.
ReadResult readDesignText(std::string_view text, const std::string& displayName,
                          std::vector<TextSpan>* numberSpans = nullptr);

}  // namespace propclear
