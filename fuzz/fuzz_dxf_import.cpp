// libFuzzer target: arbitrary bytes as a DXF drawing, imported as the stern
// of a design with the command's defaults. Every input must end as
// import_invariants.h describes; anything else aborts.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "import_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string broken = propclear::test::brokenImportInvariant(
      std::string_view(reinterpret_cast<const char*>(data), size));
  if (!broken.empty()) {
    std::fprintf(stderr, "propclear fuzz: broken import invariant: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
