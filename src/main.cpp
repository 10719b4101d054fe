// propclear: propeller-hull-rudder clearances of a single-screw stern.

#include <exception>
#include <iostream>

#include "common/operating_system.h"
#include "common/run_error.h"
#include "common/standard_output_buffer.h"
#include "common/terminal_text.h"
#include "driver/command_line.h"
#include "driver/desktop_front_end.h"
#include "driver/rules_command.h"
#include "driver/run.h"
#include "import/import_command.h"
#include "studies/study_command_line.h"

namespace {

using namespace propclear;

// What went to standard output must have arrived there: a full disk or a
// failing pipe behind it is an error, not a success with the answer lost.
int afterStandardOutputWritten(int status, StandardOutputBuffer& output) {
  std::cout.flush();
  if (!output.firstError()) return status;
  std::cerr << "propclear: cannot write to standard output: " << output.firstError().message()
            << '\n';
  return exitStatusOf(Ending::Error);
}

int runCommand(int argc, char** argv) {
  if (argc > 1 && isRulesCommand(argv[1])) {
    return runRulesCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
  }
  if (argc > 1 && isStudyCommand(argv[1])) {
    // A sweep's plot is drawn by the desktop front end, loaded only then.
    const SaveSweepPlot savePlot =
        desktopFrontEndBuilt() ? SaveSweepPlot(saveSweepPlotWithDesktopFrontEnd) : SaveSweepPlot();
    return runStudyCommand(std::vector<std::string>(argv + 1, argv + argc), savePlot, std::cout,
                           std::cerr);
  }
  if (argc > 1 && isImportCommand(argv[1])) {
    return runImportCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
  }
  try {
    const CommandLine command = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (command.action == CommandAction::ShowHelp) {
      std::cout << helpText() << studyCommandsHelp() << importCommandHelp() << rulesCommandHelp();
      return 0;
    }
    if (command.action == CommandAction::ShowVersion) {
      std::cout << versionText();
      return 0;
    }
    if (command.action == CommandAction::Edit) {
      return runStudio(command.options, argc, argv);
    }
    const std::unique_ptr<RunPlatform> platform = makeRunPlatform(command.options, argc, argv);
    const RunOutcome outcome = runDesign(command.options, *platform, std::cerr);
    // The table goes to standard output, unless the JSON results go there.
    const bool jsonOnStandardOutput = command.options.jsonFile == std::string("-");
    printRuleCheck(outcome, jsonOnStandardOutput ? std::cerr : std::cout);
    return exitStatusOf(outcome, command.options);
  } catch (const RunError& error) {
    std::cerr << "propclear: " << error.what() << '\n';
    return exitStatusOf(Ending::Error);
  } catch (const std::exception& error) {
    std::cerr << "propclear: error: " << withControlsEscaped(error.what()) << '\n';
    return exitStatusOf(Ending::Error);
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Before any file is opened: a closed standard stream must not become the
  // report, and an interrupted run must not leave temporary files behind.
  if (!os::openClosedStandardStreams()) return exitStatusOf(Ending::Error);
  os::removeTemporaryFilesOnInterruption();
  StandardOutputBuffer output;
  std::cout.rdbuf(&output);
  const int status = afterStandardOutputWritten(runCommand(argc, argv), output);
  std::cout.rdbuf(nullptr);
  return status;
}
