#pragma once
// The program's name and version, set in one place by the build, and its
// licence.

namespace propclear {

inline constexpr const char* programName = "propclear";
inline constexpr const char* programVersion = PROPCLEAR_VERSION;
inline constexpr const char* programLicence = "free software under the MIT licence";

}  // namespace propclear
