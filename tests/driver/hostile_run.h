#pragma once
// Whole runs of the built program on hostile design files and file systems:
// a scratch folder holding the design file and the outputs of an earlier run,
// and the checks every such run shares (ending, exit status, message gist,
// disk state, no sanitizer report).

#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace propclear::test {

// The user and group "nobody" of Debian, for the cases that need a user
// other than the super-user.
inline constexpr unsigned kNobody = 65534;
// Whether the tests run as the super-user (who may become nobody).
bool isRoot();

inline constexpr const char* kEarlierReport = "earlier report\r\n";
inline constexpr const char* kEarlierScript = "earlier script\r\n";

// How a run ends and so what it leaves on disk.
enum class Expected {
  Completed,          // the 38-line report and a new script
  ErrorBeforeReport,  // no file touched: the earlier report and script as they were
  ErrorAfterReport,   // the report emptied, the earlier script as it was
  ContourTooLong,     // no file touched
};

// The scratch folder of a run: the design file and, unless told otherwise,
// the outputs of an earlier run (kEarlierReport, kEarlierScript).
class RunFolder {
 public:
  explicit RunFolder(const std::string& design, bool earlierOutputs = true);

  // Runs the program with -C on the folder, without a window, followed by
  // `extra` (by default the answer "H"), with `input` on standard input.
  ProcessResult run(const std::vector<std::string>& extra = {"--answer", "H"},
                    const std::string& input = "") const;

  std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }
  const std::filesystem::path& path() const { return dir_.path(); }
  // The path of `name` in the folder as text, for the command line.
  std::string pathOf(const std::string& name) const { return (dir_ / name).string(); }
  // The content of the file `name` in the folder.
  std::string file(const std::string& name) const { return readFile(dir_ / name); }

 private:
  ScratchDir dir_;
};

// The design of the sample stern as a design file.
std::string sampleDesignFile();
// `text` with the first occurrence of `from` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to);
// The report a clean run of the sample design writes.
std::string sampleReport();

// The exit status, every gist in standard error, nothing from a sanitizer, an
// error message that is printable ASCII, and the disk state of `expected`.
void expectRun(const RunFolder& folder, const ProcessResult& result, Expected expected,
               const std::vector<std::string>& gists);

// Only the exit status, the gists, the sanitizers and the message's form; for
// file-system faults, whose disk states differ case by case.
void expectEnding(const ProcessResult& result, int exitStatus,
                  const std::vector<std::string>& gists);

}  // namespace propclear::test
