#pragma once
// The design studio as a program: its application, its window on the design
// file of the command line (or empty), and the event loop until it closes.

#include "driver/run_options.h"

namespace propclear {

// Returns the process's exit status: 0 once the window is closed.
int studioMain(const RunOptions& options, int& argc, char** argv);

}  // namespace propclear
