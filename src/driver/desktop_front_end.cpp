#include "driver/desktop_front_end.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "common/loadable_module.h"
#include "common/operating_system.h"
#include "common/run_error.h"
#include "driver/terminal_platform.h"
#include "plot/plot_file_format.h"

namespace propclear {

namespace {

bool variableSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

#ifdef PROPCLEAR_INSTALLED_DESKTOP_MODULE
// From the build: the program and the module in the build tree, and the
// module's installed path.
constexpr bool desktopFrontEndInBuild = true;
constexpr const char* moduleRole =
    "the desktop module (the window, --plot and --report-pdf need it; --no-window runs without "
    "it)";

// The module of the build tree for the build tree's program, else the
// installed one; never one found relative to the program, whose folder may
// lie in a folder other users can write. PROPCLEAR_DESKTOP_MODULE names
// another (an unpacked package's), checked the same way.
std::filesystem::path desktopFrontEndPath(const std::filesystem::path& program) {
  if (const char* given = std::getenv("PROPCLEAR_DESKTOP_MODULE"); given != nullptr && *given != '\0') {
    return given;
  }
  if (os::sameFile(program, PROPCLEAR_BUILD_PROGRAM)) return PROPCLEAR_BUILD_DESKTOP_MODULE;
  return PROPCLEAR_INSTALLED_DESKTOP_MODULE;
}

const DesktopFrontEnd& openDesktopFrontEnd() {
  const std::filesystem::path path = desktopFrontEndPath(runningProgramPath());
  using EntryPoint = decltype(&propclear_desktop_front_end);
  const auto entryPoint = reinterpret_cast<EntryPoint>(
      loadModuleSymbol(path, "propclear_desktop_front_end", moduleRole));
  const DesktopFrontEnd* frontEnd = entryPoint();
  if (frontEnd == nullptr || frontEnd->programVersion == nullptr) {
    throw RunError(ErrorKind::Installation,
                   std::string("cannot load ") + moduleRole + ": its entry point gave no front end",
                   ErrorLocation{path.string()});
  }
  if (std::string(frontEnd->programVersion) != PROPCLEAR_VERSION) {
    throw RunError(ErrorKind::Installation,
                   std::string("the desktop front end belongs to propclear ") +
                       frontEnd->programVersion + ", this is propclear " + PROPCLEAR_VERSION,
                   ErrorLocation{path.string()});
  }
  return *frontEnd;
}
#else
constexpr bool desktopFrontEndInBuild = false;

const DesktopFrontEnd& openDesktopFrontEnd() {
  throw RunError(ErrorKind::Installation, "this build of propclear has no desktop front end");
}
#endif

}  // namespace

bool displayNamed() { return variableSet("DISPLAY") || variableSet("WAYLAND_DISPLAY"); }

bool runNeedsDesktopFrontEnd(const RunOptions& options) {
  // An SVG plot is written without it (plot/svg_drawing.h).
  const bool imageByFrontEnd =
      options.plotFile && plotFileFormatOf(*options.plotFile) != PlotFileFormat::Svg;
  return imageByFrontEnd || options.reportPdfFile.has_value() ||
         (!options.noWindow && displayNamed());
}

const DesktopFrontEnd& loadDesktopFrontEnd() {
  static const DesktopFrontEnd& frontEnd = openDesktopFrontEnd();
  return frontEnd;
}

bool desktopFrontEndBuilt() { return desktopFrontEndInBuild; }

void saveSweepPlotWithDesktopFrontEnd(const SweepPlot& plot, const std::filesystem::path& path) {
  const DesktopFrontEnd& frontEnd = loadDesktopFrontEnd();
  if (frontEnd.saveSweepPlot == nullptr) {
    throw RunError(ErrorKind::Installation,
                   "cannot save the plot: the desktop front end was built without Qt Charts",
                   ErrorLocation{path.string()});
  }
  frontEnd.saveSweepPlot(plot, path);
}

int runStudio(const RunOptions& options, int& argc, char** argv) {
  // Without the front end in the build (the Windows build) a display would
  // not help: that is said first.
  if (!desktopFrontEndInBuild) openDesktopFrontEnd();
  if (!displayNamed() && !variableSet("QT_QPA_PLATFORM")) {
    throw RunError(ErrorKind::Usage,
                   "the design studio needs a display (DISPLAY or WAYLAND_DISPLAY is not set); "
                   "the plain run works without one");
  }
  return loadDesktopFrontEnd().runStudio(options, argc, argv);
}

// Without the front end in the build, a window run goes on on the terminal
// and --plot and --report-pdf are refused by the run with their own messages.
std::unique_ptr<RunPlatform> makeRunPlatform(const RunOptions& options, int& argc, char** argv) {
  if (desktopFrontEndInBuild && runNeedsDesktopFrontEnd(options)) {
    return loadDesktopFrontEnd().makePlatform(options, argc, argv);
  }
  return std::make_unique<TerminalPlatform>(options.answer, std::cin, std::cerr);
}

}  // namespace propclear
