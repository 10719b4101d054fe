#pragma once
// The limits a ship file's text is held to before the TOML parser sees it.
// The parser and the tables it builds nest by recursion: a key of a quarter
// of a million dotted parts, or arrays nested as deep, would overflow the
// stack. A ship file needs two levels ([custom_minima] a = ...) and a dozen
// lines; the limits leave room for any sensible file and refuse the rest
// with a message.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace propclear {

// A ship file holds a dozen lines; anything much larger is another file.
inline constexpr std::size_t maxShipFileBytes = 1024 * 1024;
// The deepest nesting of keys (a.b.c is three deep), tables and arrays.
inline constexpr std::size_t maxShipFileNesting = 16;

// Where and how `text` breaks a limit: its 1-based line (0 for the size) and
// the rule broken; nothing when it keeps them.
struct LimitBroken {
  long line = 0;
  std::string rule;
};
std::optional<LimitBroken> shipTextLimitBroken(std::string_view text);

}  // namespace propclear
