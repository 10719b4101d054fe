#pragma once
// The whole text of a design file, for writing a changed design back into it
// (rewrite_design_text.h).

#include <cstdint>
#include <filesystem>
#include <string>

namespace propclear {

// No sensible design file comes near this size; a larger one is refused
// rather than held in memory.
inline constexpr std::uintmax_t maxDesignFileBytes = 16 * 1024 * 1024;

// The file's bytes. A file that cannot be read, is not a regular file, or is
// larger than maxDesignFileBytes throws RunError(ErrorKind::Input) naming it.
std::string readDesignFileText(const std::filesystem::path& path);

}  // namespace propclear
