#pragma once
// The desktop front end as the program sees it: a module (window, dialog
// prompts, error box, image export, the clearance report) that is loaded only when a run needs it,
// so that a run without a window or an image never maps the GUI toolkit's
// libraries. The module uses the program's own copy of the core; nothing of
// the toolkit crosses this interface.

#include <filesystem>
#include <memory>

#include "driver/run_options.h"
#include "driver/run_platform.h"
#include "report/clearance_report_content.h"
#include "plot/sweep_plot.h"

namespace propclear {

// What the module offers. A new entry point (the studio of an editing run)
// is added as a member at the end.
struct DesktopFrontEnd {
  // The version of propclear the module was built with: it calls into the
  // program's core and fits no other version of it.
  const char* programVersion;
  // The run's platform on the desktop: the plot window with dialog prompts
  // and an error box when a display is reached, otherwise the terminal's
  // prompts; image export either way. argc/argv go to the GUI toolkit and
  // must outlive the platform.
  std::unique_ptr<RunPlatform> (*makePlatform)(const RunOptions& options, int& argc, char** argv);
  // Writes the clearance report (PDF) into `file`, on the platform
  // that makePlatform made. Throws RunError naming the file.
  void (*writeClearanceReport)(const ClearanceReportContent& content, OutputFile& file);
  // Saves the plot of a sweep as PNG, SVG or PDF (by the file's extension);
  // throws RunError naming the file. Null in a module built without Qt
  // Charts.
  void (*saveSweepPlot)(const SweepPlot& plot, const std::filesystem::path& path);
  // The design studio on options.designFile (taken in options.workDir when
  // relative), or on an empty window; returns the process's exit status once
  // the studio is closed. argc/argv go to the GUI toolkit.
  int (*runStudio)(const RunOptions& options, int& argc, char** argv);
};

// Whether a display is named (DISPLAY or WAYLAND_DISPLAY), reachable or not.
bool displayNamed();

// Whether the run needs the desktop front end: a window (not --no-window and
// a display named), a PNG or PDF image of the plot or the clearance report.
bool runNeedsDesktopFrontEnd(const RunOptions& options);

// Loads the module once (later calls return the same one). It is looked for
// beside the program (the build tree), else in the installed library folder
// relative to the program. Throws
// RunError(ErrorKind::Installation) naming the module's path and the
// loader's message when it is missing, cannot be loaded or belongs to
// another version, and when this build has no desktop front end.
const DesktopFrontEnd& loadDesktopFrontEnd();

// Whether this build has a desktop front end to load.
bool desktopFrontEndBuilt();

// Saves the plot of a sweep through the desktop front end, loading it; a
// module without the plot is a RunError(ErrorKind::Installation) too.
void saveSweepPlotWithDesktopFrontEnd(const SweepPlot& plot, const std::filesystem::path& path);

// The design studio of `propclear --edit`, through the desktop front end;
// returns the exit status. Throws RunError(ErrorKind::Usage) when no display
// is named (DISPLAY, WAYLAND_DISPLAY, or a Qt platform in QT_QPA_PLATFORM, as
// tests name "offscreen"), before anything is loaded; in a build without
// the front end, RunError(ErrorKind::Installation) saying so, first.
int runStudio(const RunOptions& options, int& argc, char** argv);

// The run's platform: the desktop front end's when the run needs it and this
// build has one, the terminal's otherwise.
std::unique_ptr<RunPlatform> makeRunPlatform(const RunOptions& options, int& argc, char** argv);

}  // namespace propclear

// The module's one exported function.
extern "C" const propclear::DesktopFrontEnd* propclear_desktop_front_end();
