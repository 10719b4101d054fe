#include "hostile_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "run_invariants.h"
#include "sample_design.h"

namespace propclear::test {

namespace fs = std::filesystem;

RunFolder::RunFolder(const std::string& design, bool earlierOutputs) {
  writeFile(dir_ / designFileName, design);
  if (!earlierOutputs) return;
  writeFile(dir_ / reportFileName, kEarlierReport);
  writeFile(dir_ / cadScriptFileName, kEarlierScript);
}

ProcessResult RunFolder::run(const std::vector<std::string>& extra, const std::string& input) const {
  std::vector<std::string> args = {"-C", dir_.path().string(), "--no-window"};
  args.insert(args.end(), extra.begin(), extra.end());
  return runPropclear(args, input);
}

bool isRoot() { return ::geteuid() == 0; }

std::string sampleDesignFile() { return designFileText(sampleDesign()); }

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  if (at == std::string::npos) throw std::logic_error("no \"" + from + "\" in the text");
  return text.replace(at, from.size(), to);
}

std::string sampleReport() {
  static const std::string report = [] {
    const RunFolder folder(sampleDesignFile());
    const ProcessResult result = folder.run();
    EXPECT_EQ(result.exitStatus, kExitCompleted) << result.err;
    return readFile(folder / reportFileName);
  }();
  return report;
}

namespace {

// The lines of standard error that report an error.
std::vector<std::string> errorLines(const std::string& err) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < err.size()) {
    std::size_t end = err.find('\n', start);
    if (end == std::string::npos) end = err.size();
    const std::string line = err.substr(start, end - start);
    if (line.rfind("propclear: error: ", 0) == 0) lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

bool isPrintableAscii(const std::string& text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) return false;
  }
  return true;
}

void expectDiskState(const RunFolder& folder, Expected expected) {
  EXPECT_EQ(strayFiles(folder.path()), "");
  const std::string report = readFile(folder / reportFileName);
  const std::string script = readFile(folder / cadScriptFileName);
  switch (expected) {
    case Expected::Completed:
      EXPECT_EQ(crLfLineCount(report), completedReportLineCount);
      EXPECT_EQ(brokenTextFile(reportFileName, report), "");
      EXPECT_EQ(script.rfind("Limits\r\n", 0), 0u);
      EXPECT_EQ(brokenTextFile(cadScriptFileName, script), "");
      return;
    case Expected::ErrorBeforeReport:
    case Expected::ContourTooLong:
      EXPECT_EQ(report, kEarlierReport);
      EXPECT_EQ(script, kEarlierScript);
      return;
    case Expected::ErrorAfterReport:
      EXPECT_EQ(report, "");
      EXPECT_EQ(script, kEarlierScript);
      return;
  }
}

int exitStatusOf(Expected expected) {
  switch (expected) {
    case Expected::Completed:
      return kExitCompleted;
    case Expected::ContourTooLong:
      return kExitContourTooLong;
    case Expected::ErrorBeforeReport:
    case Expected::ErrorAfterReport:
      break;
  }
  return kExitError;
}

}  // namespace

void expectEnding(const ProcessResult& result, int exitStatus,
                  const std::vector<std::string>& gists) {
  EXPECT_EQ(result.exitStatus, exitStatus) << result.err;
  EXPECT_EQ(result.err.find("Sanitizer"), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find("runtime error:"), std::string::npos) << result.err;
  for (const std::string& gist : gists) {
    EXPECT_NE(result.err.find(gist), std::string::npos) << "no \"" << gist << "\" in:\n"
                                                        << result.err;
  }
  const std::vector<std::string> errors = errorLines(result.err);
  if (exitStatus == kExitError) {
    ASSERT_EQ(errors.size(), 1u) << result.err;
    EXPECT_TRUE(isPrintableAscii(errors.front())) << errors.front();
  } else {
    EXPECT_TRUE(errors.empty()) << result.err;
  }
}

void expectRun(const RunFolder& folder, const ProcessResult& result, Expected expected,
               const std::vector<std::string>& gists) {
  expectEnding(result, exitStatusOf(expected), gists);
  expectDiskState(folder, expected);
}

}  // namespace propclear::test
