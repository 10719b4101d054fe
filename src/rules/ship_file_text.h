#pragma once
// Changes one top-level setting in the text of a ship file, as an editor
// saves it: the line "key = value  # comment" keeps its key, its blanks and
// its comment and gets the new value; a key the file does not have is added
// after the last top-level setting, before the first [table]. Every other
// line stays as it was.

#include <string>
#include <string_view>

namespace propclear {

// `text` with the top-level `key` set to `tomlValue` (TOML as written:
// 118.5, "high", ["lr-recommended", "custom"]). A value of the key that runs
// over more than one line cannot be replaced: RunError(ErrorKind::Input)
// naming `displayName`, the line and the key.
std::string setShipFileValue(std::string_view text, const std::string& displayName,
                             std::string_view key, std::string_view tomlValue);

// `text` as a TOML basic string, quotes and control characters escaped.
std::string quotedTomlString(std::string_view text);

}  // namespace propclear
