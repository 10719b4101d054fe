#pragma once
// The options of a plain run, as the command line gives them.

#include <filesystem>
#include <optional>
#include <string>

namespace propclear {

struct RunOptions {
  std::filesystem::path workDir = ".";   // -C DIR
  bool noWindow = false;                 // --no-window
  std::optional<std::string> answer;     // --answer TEXT
  std::optional<std::filesystem::path> plotFile;  // --plot FILE
  std::optional<std::filesystem::path> dxfFile;   // --dxf FILE
  std::optional<std::string> jsonFile;            // --json FILE, "-" for standard output
};

}  // namespace propclear
