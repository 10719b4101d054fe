// propclear: propeller-hull-rudder clearances of a single-screw stern.

#include <exception>
#include <iostream>

#include "common/run_error.h"
#include "driver/command_line.h"
#include "driver/run.h"
#include "studies/study_command_line.h"
#include "ui/frontend.h"
#include "ui/sweep_chart.h"

int main(int argc, char** argv) {
  using namespace propclear;
  if (argc > 1 && isStudyCommand(argv[1])) {
    return runStudyCommand(std::vector<std::string>(argv + 1, argv + argc), sweepPlotSaver(),
                           std::cout, std::cerr);
  }
  try {
    const CommandLine command = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (command.action == CommandAction::ShowHelp) {
      std::cout << helpText() << studyCommandsHelp();
      return 0;
    }
    if (command.action == CommandAction::ShowVersion) {
      std::cout << versionText();
      return 0;
    }
    const std::unique_ptr<RunPlatform> platform = makePlatform(command.options, argc, argv);
    const RunOutcome outcome = runDesign(command.options, *platform, std::cerr);
    return exitStatusOf(outcome, command.options);
  } catch (const RunError& error) {
    std::cerr << "propclear: " << error.what() << '\n';
    return exitStatusOf(Ending::Error);
  } catch (const std::exception& error) {
    std::cerr << "propclear: error: " << error.what() << '\n';
    return exitStatusOf(Ending::Error);
  }
}
