#include "driver/command_line.h"

#include <string_view>

#include "common/run_error.h"
#include "common/version.h"
#include "driver/output_catalogue.h"

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

PlotSize plotSizeWithHelp(const std::string& text) {
  try {
    return parsePlotSize(text);
  } catch (const RunError& error) {
    usageError(error.what());
  }
}

// Whether anything beyond the design file and -C DIR was given: options of
// the plain run, which the studio does not take.
bool hasPlainRunOptions(const RunOptions& options) {
  return options.noWindow || options.answer || options.strict || requestsAnyOutput(options) ||
         options.plotSize || options.reportPaper || options.closest || options.shipFile ||
         !options.shipOverrides.empty() || options.propellerFile;
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
    } else if (argument == "--edit") {
      if (command.action == CommandAction::Run) command.action = CommandAction::Edit;
    } else if (argument == "-C") {
      options.workDir = optionValue(arguments, i);
    } else if (argument == "--no-window") {
      options.noWindow = true;
    } else if (argument == "--answer") {
      options.answer = optionValue(arguments, i);
    } else if (const OutputEntry* output = outputForOption(argument)) {
      output->request(options, optionValue(arguments, i));
    } else if (argument == "--paper") {
      const std::string paper = optionValue(arguments, i);
      options.reportPaper = reportPaperNamed(paper);
      if (!options.reportPaper) usageError("--paper " + paper + ": expected A4 or A3");
    } else if (argument == "--plot-size") {
      options.plotSize = plotSizeWithHelp(optionValue(arguments, i));
    } else if (argument == "--strict") {
      options.strict = true;
    } else if (argument == "--ship") {
      options.shipFile = optionValue(arguments, i);
    } else if (argument == "--rules") {
      options.shipOverrides.ruleSets = optionValue(arguments, i);
    } else if (argument == "--ship-set") {
      options.shipOverrides.settings.push_back(optionValue(arguments, i));
    } else if (argument == "--rules-file") {
      options.shipOverrides.ruleFiles.push_back(optionValue(arguments, i));
    } else if (argument == "--propeller") {
      options.propellerFile = optionValue(arguments, i);
    } else if (argument == "--closest") {
      options.closest = true;
    } else if (!argument.empty() && argument.front() != '-' && !options.designFile) {
      options.designFile = argument;
    } else if (!argument.empty() && argument.front() != '-') {
      usageError("more than one design file: \"" + options.designFile->string() + "\" and \"" +
                 argument + "\"");
    } else {
      usageError("unknown argument \"" + argument + "\"");
    }
  }
  if (command.action == CommandAction::Edit && hasPlainRunOptions(options)) {
    usageError("--edit takes only a design file and -C DIR; the studio writes its outputs "
               "from its menus");
  }
  return command;
}

std::string helpText() {
  return std::string(
             "Usage: propclear [FILE] [-C DIR] [--no-window] [--answer TEXT] [--strict]\n"
             "                 [--ship FILE] [--rules NAME[,NAME]] [--rules-file FILE]\n"
             "                 [--ship-set KEY=VALUE] [--propeller FILE]\n"
             "                 [--closest] [--plot-size WxH]\n"
             "                 " + outputOptionsSynopsis() + "\n"
             "                 [--paper A4|A3] [--help] [--version]\n"
             "       propclear --edit [FILE] [-C DIR]\n"
             "\n"
             "Measures the propeller-hull-rudder clearances of a single-screw stern.\n"
             "Reads Norvalek.TSK in the working folder (or the design file FILE), shows\n"
             "the stern in a window, asks whether the geometry is wrong, then writes the\n"
             "CAD script Norvalek.SCR and the report Norvalek.SON (for FILE: beside it,\n"
             "under its name, e.g. ships/hull12.TSK gives ships/hull12.SCR and .SON).\n"
             "\n"
             "Options:\n"
             "  FILE           the design file to read instead of Norvalek.TSK; a relative\n"
             "                 name is taken in the working folder\n"
             "  -C DIR         work in DIR instead of the current directory\n"
             "  --no-window    no window: prompts on the terminal (also when no display\n"
             "                 is available)\n"
             "  --answer TEXT  answer the geometry question with TEXT instead of asking;\n"
             "                 the over-long-contour message is then printed without waiting\n"
             "  --strict       end a completed run in which a blade, or the volume the\n"
             "                 turning propeller sweeps, overlaps the hull or the rudder,\n"
             "                 or a clearance rule is not met, with exit status 4\n"
             "  --ship FILE    the ship's particulars for the clearance rules (TOML); without\n"
             "                 it, X.ship.toml beside the design file X.TSK when there is one\n"
             "  --rules NAME[,NAME]  the rule sets to check against: lr-recommended,\n"
             "                 tip-guidance, custom, or a rule file's (replaces the ship\n"
             "                 file's rule_sets); propclear rules list names them\n"
             "  --rules-file FILE  adds the rule set of the rule file FILE (TOML), to be\n"
             "                 named by --rules or the ship file's rule_sets (repeatable)\n"
             "  --ship-set KEY=VALUE  sets one of the ship's particulars (repeatable)\n"
             "  --propeller FILE  the propeller's blades, hub length and blade outline\n"
             "                 table (TOML); without it, X.propeller.toml beside the design\n"
             "                 file X.TSK when there is one, else the four-bladed B-series\n"
             "                 outline of the design's main data\n"
             "  --closest      print the closest approach of the stern contour, the\n"
             "                 rudder's leading edge and the heel to the volume the\n"
             "                 turning propeller sweeps, one line each\n"
             + outputOptionsHelp() +
             "  --plot-size WxH  the saved plot's size: pixels for PNG, points for SVG\n"
             "                 and PDF (default 716x472)\n"
             "  --paper A4|A3  the report's sheet, landscape (default A4)\n"
             "  --edit         open the design studio on FILE (or on an empty window): edit\n"
             "                 the stern and the propeller and watch the clearances change\n"
             "  -h, --help     show this help and exit\n"
             "  --version      show the version and exit\n"
             "\n"
             "Exit status:\n"
             "  0  completed run: report and CAD script written\n"
             "  1  error: the message says what went wrong\n"
             "  2  the stern contour has no terminator (code 99) within 251 lines\n"
             "  3  the geometry was reported wrong (answer E): report left empty\n"
             "  4  completed, but with --strict a blade or the swept volume overlaps the\n"
             "     hull or the rudder, or a clearance rule is not met\n");
}

std::string versionText() { return std::string(programName) + " " + programVersion + "\n"; }

}  // namespace propclear
