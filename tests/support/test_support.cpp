#include "test_support.h"

#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace propclear::test {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = fs::temp_directory_path() / ("propclear-test-" + std::to_string(random()));
    if (fs::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a scratch folder");
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  // Tests may have made the folder read-only; make it removable again.
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void writeFile(const fs::path& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::string> splitCrLfLines(const std::string& content) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    const std::size_t end = content.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(content.substr(start));
      break;
    }
    lines.push_back(content.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

fs::path examplesDir() { return PROPCLEAR_EXAMPLES_DIR; }
fs::path testDataDir() { return PROPCLEAR_TEST_DATA_DIR; }

namespace {


}  // namespace

ProcessResult runProgram(const std::vector<std::string>& argv, const std::string& input,
                         const fs::path& folder,
                         const std::vector<std::pair<std::string, std::string>>& environment) {
  ScratchDir io;
  const fs::path inPath = io / "stdin", outPath = io / "stdout", errPath = io / "stderr";
  writeFile(inPath, input);
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int in = ::open(inPath.c_str(), O_RDONLY);
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

std::string propclearProgram() {
  const char* given = std::getenv("PROPCLEAR_TEST_PROGRAM");
  return given != nullptr && *given != '\0' ? given : PROPCLEAR_BINARY;
}

ProcessResult runPropclear(const std::vector<std::string>& args, const std::string& input) {
  std::vector<std::string> argv = {propclearProgram()};
  argv.insert(argv.end(), args.begin(), args.end());
  return runProgram(argv, input);
}

}  // namespace propclear::test
