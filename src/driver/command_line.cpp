#include "driver/command_line.h"

#include "common/run_error.h"
#include "common/version.h"

namespace propclear {

namespace {

[[noreturn]] void usageError(const std::string& message) {
  throw RunError(ErrorKind::Usage, message + " (see propclear --help)");
}

// The value of an option that takes one: the next argument.
const std::string& optionValue(const std::vector<std::string>& arguments, std::size_t& index) {
  if (index + 1 >= arguments.size()) usageError("option " + arguments[index] + " needs a value");
  return arguments[++index];
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine command;
  RunOptions& options = command.options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "-h" || argument == "--help") {
      command.action = CommandAction::ShowHelp;
    } else if (argument == "--version") {
      command.action = CommandAction::ShowVersion;
    } else if (argument == "-C") {
      options.workDir = optionValue(arguments, i);
    } else if (argument == "--no-window") {
      options.noWindow = true;
    } else if (argument == "--answer") {
      options.answer = optionValue(arguments, i);
    } else if (argument == "--plot") {
      options.plotFile = optionValue(arguments, i);
    } else if (argument == "--dxf") {
      options.dxfFile = optionValue(arguments, i);
    } else if (argument == "--json") {
      options.jsonFile = optionValue(arguments, i);
    } else {
      usageError("unknown argument \"" + argument + "\"");
    }
  }
  return command;
}

std::string helpText() {
  return std::string(
             "Usage: propclear [-C DIR] [--no-window] [--answer TEXT] [--plot FILE]\n"
             "                 [--dxf FILE] [--json FILE] [--help] [--version]\n"
             "\n"
             "Measures the propeller-hull-rudder clearances of a single-screw stern.\n"
             "Reads Norvalek.TSK in the working folder, shows the stern in a window, asks\n"
             "whether the geometry is wrong, then writes the CAD script Norvalek.SCR and\n"
             "the report Norvalek.SON.\n"
             "\n"
             "Options:\n"
             "  -C DIR         work in DIR instead of the current directory\n"
             "  --no-window    no window: prompts on the terminal (also when no display\n"
             "                 is available)\n"
             "  --answer TEXT  answer the geometry question with TEXT instead of asking;\n"
             "                 the over-long-contour message is then printed without waiting\n"
             "  --plot FILE    also save the plot as PNG, SVG or PDF (by FILE's extension)\n"
             "  --dxf FILE     also write the drawing as a DXF file (after the CAD script)\n"
             "  --json FILE    also write the results as JSON (- for standard output)\n"
             "  -h, --help     show this help and exit\n"
             "  --version      show the version and exit\n"
             "\n"
             "Exit status:\n"
             "  0  completed run: report and CAD script written\n"
             "  1  error: the message says what went wrong\n"
             "  2  the stern contour has no terminator (code 99) within 251 lines\n"
             "  3  the geometry was reported wrong (answer E): report left empty\n");
}

std::string versionText() { return std::string(programName) + " " + programVersion + "\n"; }

}  // namespace propclear
