#pragma once
// The program's name, version and home, set in one place by the build.

namespace propclear {

inline constexpr const char* programName = "propclear";
inline constexpr const char* programVersion = PROPCLEAR_VERSION;
inline constexpr const char* programHomepage = PROPCLEAR_HOMEPAGE;

}  // namespace propclear
