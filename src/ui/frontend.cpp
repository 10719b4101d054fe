#include "ui/frontend.h"

#include <iostream>

#include "driver/terminal_platform.h"

namespace propclear {

std::unique_ptr<RunPlatform> makePlatform(const RunOptions& options, int& /*argc*/,
                                          char** /*argv*/) {
  return std::make_unique<TerminalPlatform>(options.answer, std::cin, std::cerr);
}

}  // namespace propclear
