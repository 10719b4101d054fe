#pragma once
// Helpers shared by the test suites: scratch folders, whole-file reads, and a
// way to run the built program.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace propclear::test {

// A fresh, empty folder under the system's temporary folder, removed again
// when the object goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& content);
// The file's lines split at CR LF (the last line end is not followed by a line).
std::vector<std::string> splitCrLfLines(const std::string& content);

std::filesystem::path examplesDir();
std::filesystem::path testDataDir();

// The program's exit status for each way a run ends.
inline constexpr int kExitCompleted = 0;
inline constexpr int kExitError = 1;
inline constexpr int kExitContourTooLong = 2;
inline constexpr int kExitWrongGeometry = 3;
inline constexpr int kExitStrictOverlap = 4;

struct ProcessResult {
  int exitStatus = -1;
  std::string out;
  std::string err;
};
// Runs argv (argv[0] looked up on PATH unless it holds a slash) with standard
// input from `input`, in `folder` (unchanged when empty), with `environment`
// added to the inherited one.
ProcessResult runProgram(const std::vector<std::string>& argv, const std::string& input = "",
                         const std::filesystem::path& folder = {},
                         const std::vector<std::pair<std::string, std::string>>& environment = {});

// The program the end-to-end tests run: the built propclear binary, or the
// command named by PROPCLEAR_TEST_PROGRAM (the Windows build under Wine, by
// tests/windows/wine-propclear).
std::string propclearProgram();

// Runs the program with `args`, standard input from `input`.
ProcessResult runPropclear(const std::vector<std::string>& args, const std::string& input = "");

}  // namespace propclear::test
