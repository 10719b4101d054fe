#pragma once
// The command line. A plain "propclear" runs in the current folder with the
// window, exactly like the program without options.

#include <string>
#include <vector>

#include "driver/run_options.h"

namespace propclear {

// Edit: the design studio, on the design file FILE when one is named.
enum class CommandAction { Run, Edit, ShowHelp, ShowVersion };

struct CommandLine {
  CommandAction action = CommandAction::Run;
  RunOptions options;
};

// Throws RunError(ErrorKind::Usage) for an unknown option or a missing value.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

std::string helpText();
std::string versionText();

}  // namespace propclear
