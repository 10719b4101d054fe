// libFuzzer target: arbitrary bytes as the design file, then the whole run
// without a window, the geometry question answered "H". Every input must end
// the run in one of its endings with the disk state, message and clean
// outputs that run_invariants.h describes; anything else aborts.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "driver/run.h"
#include "driver/terminal_platform.h"
#include "run_invariants.h"

namespace {

namespace fs = std::filesystem;
using namespace propclear;

// One folder per fuzzing process, emptied before each input: under
// PROPCLEAR_FUZZ_DIR when set, else on a memory-backed file system where there
// is one, which keeps the per-input file work cheap. Kept on the heap so that
// the clean-up at exit can still name it.
const fs::path* scratchFolderPath = nullptr;

void removeScratchFolder() {
  std::error_code ignored;
  fs::remove_all(*scratchFolderPath, ignored);
}

fs::path makeScratchFolder() {
  const char* given = std::getenv("PROPCLEAR_FUZZ_DIR");
  fs::path base = fs::temp_directory_path();
  if (given != nullptr) {
    base = given;
  } else if (fs::is_directory("/dev/shm")) {
    base = "/dev/shm";
  }
  std::string pattern = (base / "propclear-fuzz-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("propclear fuzz: cannot create the scratch folder");
    std::abort();
  }
  return pattern;
}

const fs::path& scratchFolder() {
  if (scratchFolderPath == nullptr) {
    scratchFolderPath = new fs::path(makeScratchFolder());
    std::atexit(removeScratchFolder);
  }
  return *scratchFolderPath;
}

void startFresh(const fs::path& folder, const std::uint8_t* data, std::size_t size) {
  for (const auto& entry : fs::directory_iterator(folder)) fs::remove_all(entry.path());
  std::ofstream design(folder / designFileName, std::ios::binary);
  design.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!design) {
    std::fputs("propclear fuzz: cannot write the design file\n", stderr);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path& folder = scratchFolder();
  startFresh(folder, data, size);

  RunOptions options;
  options.workDir = folder;
  options.noWindow = true;
  options.answer = "H";
  std::istringstream noInput;
  std::ostringstream promptOutput;
  std::ostringstream messages;
  TerminalPlatform platform(options.answer, noInput, promptOutput);
  const RunOutcome outcome = runDesign(options, platform, messages);

  const std::string broken = test::brokenRunInvariant(outcome, messages.str(), folder);
  if (!broken.empty()) {
    std::fprintf(stderr, "propclear fuzz: broken invariant (ending %s): %s\nmessages:\n%s\n",
                 endingName(outcome.ending), broken.c_str(), messages.str().c_str());
    std::abort();
  }
  return 0;
}
