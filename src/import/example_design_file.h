#pragma once
// The example stern's design file (examples/Norvalek.TSK), built into the
// program: its propeller and waterline stand in for those a drawing lacks.

#include <string>

namespace propclear {

const std::string& exampleDesignFileText();

inline constexpr const char* exampleDesignFileName = "examples/Norvalek.TSK";

}  // namespace propclear
