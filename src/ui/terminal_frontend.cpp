// The front end of a build without Qt: every run is a terminal run.

#include <iostream>

#include "driver/terminal_platform.h"
#include "ui/frontend.h"

namespace propclear {

std::unique_ptr<RunPlatform> makePlatform(const RunOptions& options, int& /*argc*/,
                                          char** /*argv*/) {
  return std::make_unique<TerminalPlatform>(options.answer, std::cin, std::cerr);
}

}  // namespace propclear
