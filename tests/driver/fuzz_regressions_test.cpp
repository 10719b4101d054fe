// Replays, in the ordinary suite, what the fuzz target found worth keeping
// (tests/data/fuzz-regressions: inputs that broke a run, once fixed, and
// inputs that reach the rare arithmetic faults of the numerics and the plot)
// and the fuzzer's own seeds: each whole run must keep every invariant the
// fuzz target checks.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <vector>

#include "driver/run.h"
#include "driver/terminal_platform.h"
#include "run_invariants.h"
#include "test_support.h"

namespace propclear {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> filesIn(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Runs `design` as the fuzz target does: a folder holding only the design
// file, no window, the answer "H".
std::string brokenInvariantOf(const fs::path& design) {
  test::ScratchDir folder;
  fs::copy_file(design, folder / designFileName);
  RunOptions options;
  options.workDir = folder.path();
  options.noWindow = true;
  // Built from its character: GCC 12 warns falsely about assigning the literal.
  options.answer.emplace(1, 'H');
  std::istringstream noInput;
  std::ostringstream promptOutput;
  std::ostringstream messages;
  TerminalPlatform platform(options.answer, noInput, promptOutput);
  const RunOutcome outcome = runDesign(options, platform, messages);
  return test::brokenRunInvariant(outcome, messages.str(), folder.path());
}

void expectEveryInvariantHolds(const fs::path& folder) {
  const std::vector<fs::path> inputs = filesIn(folder);
  ASSERT_FALSE(inputs.empty()) << "no inputs in " << folder;
  for (const fs::path& input : inputs) {
    EXPECT_EQ(brokenInvariantOf(input), "") << input.filename();
  }
}

TEST(FuzzRegressions, FoundInputsKeepEveryInvariant) {
  expectEveryInvariantHolds(test::testDataDir() / "fuzz-regressions");
}

TEST(FuzzRegressions, SeedInputsKeepEveryInvariant) {
  const fs::path sourceRoot = test::testDataDir().parent_path().parent_path();
  expectEveryInvariantHolds(sourceRoot / "fuzz" / "corpus");
  expectEveryInvariantHolds(test::examplesDir());
}

}  // namespace
}  // namespace propclear
