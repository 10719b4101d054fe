#pragma once
// Changes one top-level setting in the text of a ship file, as an editor
// saves it: the parser locates the key's value, which alone is replaced, so
// that its key, its blanks, its comment and every other byte stay as they
// were; a key the file does not have is added on a line of its own after the
// last top-level setting, before the first [table].

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace propclear {

// `text` with the top-level `key` set to `tomlValue` (TOML as written:
// 118.5, "high", ["lr-recommended", "custom"]); a value that ran over several
// lines becomes the one given. Text that is not valid TOML is the reader's
// RunError(ErrorKind::Input) naming `displayName` and the line.
std::string setShipFileValue(std::string_view text, const std::string& displayName,
                             std::string_view key, std::string_view tomlValue);

// `text` with the value of `key` in the [table] `table` replaced by
// `tomlValue`, or with `element`, only that element of its array: the same
// parser-located edit, for the columns of a table such as a propeller
// file's [outline]. A key or element the text does not have is a
// RunError(ErrorKind::Input) naming it.
std::string setTableFileValue(std::string_view text, const std::string& displayName,
                              std::string_view table, std::string_view key,
                              std::optional<std::size_t> element, std::string_view tomlValue);

// `text` as a TOML basic string, quotes and control characters escaped.
std::string quotedTomlString(std::string_view text);

}  // namespace propclear
