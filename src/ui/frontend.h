#pragma once
// Chooses the platform of a run. This header is free of Qt so that the
// program's entry point stays free of it too.

#include <memory>

#include "driver/run_options.h"
#include "driver/run_platform.h"

namespace propclear {

// The desktop window when one is wanted and a display can be reached; the
// terminal otherwise. argc/argv are handed to the GUI toolkit.
std::unique_ptr<RunPlatform> makePlatform(const RunOptions& options, int& argc, char** argv);

}  // namespace propclear
