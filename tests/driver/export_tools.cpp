#include "export_tools.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace propclear::test {

namespace fs = std::filesystem;

ProcessResult runTool(const std::vector<std::string>& argv, const fs::path& folder,
                      const std::vector<std::pair<std::string, std::string>>& environment) {
  ScratchDir io;
  const fs::path outPath = io / "stdout", errPath = io / "stderr";
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) ::_exit(126);
    for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
    std::vector<std::string> copies = argv;
    std::vector<char*> pointers;
    for (std::string& arg : copies) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    ::execvp(pointers[0], pointers.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ProcessResult result;
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = readFile(outPath);
  result.err = readFile(errPath);
  return result;
}

ProcessResult runPropclearIn(const fs::path& folder, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {PROPCLEAR_BINARY};
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
