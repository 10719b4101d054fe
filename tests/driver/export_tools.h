#pragma once
// Running the programs the export tests check the files with (the system's
// Python with ezdxf, LibreCAD) and propclear itself in a chosen folder.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "test_support.h"

namespace propclear::test {

// Debian's Python, which has python3-ezdxf; not whatever python3 is first on PATH.
inline constexpr const char* systemPython = "/usr/bin/python3";

// Runs argv (argv[0] looked up on PATH unless it holds a slash) with the
// current directory `folder` (unchanged when empty) and `environment` added.
ProcessResult runTool(const std::vector<std::string>& argv, const std::filesystem::path& folder = {},
                      const std::vector<std::pair<std::string, std::string>>& environment = {});

// Runs the built propclear with `args` in `folder`.
ProcessResult runPropclearIn(const std::filesystem::path& folder,
                             const std::vector<std::string>& args);

bool toolOnPath(const std::string& name);
bool systemPythonHas(const std::string& module);

// A checking script of the test suite, by its path under tests/.
std::filesystem::path testScript(const std::string& relativePath);

}  // namespace propclear::test
