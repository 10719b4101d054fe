#include "export_tools.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace propclear::test {

namespace fs = std::filesystem;

ProcessResult runTool(const std::vector<std::string>& argv, const fs::path& folder,
                      const std::vector<std::pair<std::string, std::string>>& environment) {
  return runProgram(argv, "", folder, environment);
}

ProcessResult runPropclearIn(const fs::path& folder, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {propclearProgram()};
  argv.insert(argv.end(), args.begin(), args.end());
  return runTool(argv, folder);
}

bool toolOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "";
  std::size_t start = 0;
  while (start <= folders.size()) {
    const std::size_t end = std::min(folders.find(':', start), folders.size());
    const fs::path candidate = fs::path(folders.substr(start, end - start)) / name;
    if (end > start && ::access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

bool systemPythonHas(const std::string& module) {
  return ::access(systemPython, X_OK) == 0 &&
         runTool({systemPython, "-c", "import " + module}).exitStatus == 0;
}

fs::path testScript(const std::string& relativePath) {
  return testDataDir().parent_path() / relativePath;
}

}  // namespace propclear::test
