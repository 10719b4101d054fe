// The desktop front end's entry point: the run's platform with the plot
// window, dialog prompts, error box, image export and the clearance report,
// built with Qt.

#include <QApplication>
#include <iostream>

#include "common/run_error.h"
#include "driver/desktop_front_end.h"
#include "driver/terminal_platform.h"
#include "ui/clearance_report_pdf.h"
#include "ui/desktop_platform.h"
#include "ui/dialog_prompt.h"
#include "ui/qt_working_folders.h"
#include "ui/sweep_chart.h"
#include "ui/studio/studio_main.h"

namespace propclear {

namespace {

// Qt ends the process when its platform cannot reach the display. With
// "offscreen" last in the list it renders into memory instead, and the run
// goes on on the terminal. X11 comes first where it is there (also through
// Xwayland): only there can a prompt be placed where the run asks for it.
void selectQtPlatform(const RunOptions& options) {
  if (options.noWindow || !displayNamed()) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return;
  }
  QByteArray platforms = qgetenv("QT_QPA_PLATFORM");
  if (platforms.isEmpty()) {
    platforms = qEnvironmentVariableIsEmpty("DISPLAY") ? "wayland" : "xcb";
  }
  if (!platforms.contains("offscreen")) platforms += ";offscreen";
  qputenv("QT_QPA_PLATFORM", platforms);
}

bool reachedDisplay() {
  const QString platform = QGuiApplication::platformName();
  return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

std::unique_ptr<PromptService> terminalPrompts(const RunOptions& options) {
  return makeTerminalPrompt(options.answer, std::cin, std::cerr);
}

std::unique_ptr<RunPlatform> makeDesktopPlatform(const RunOptions& options, int& argc, char** argv) {
  selectQtPlatform(options);
  provideWorkingFolders();
  QCoreApplication::setApplicationName(QStringLiteral("propclear"));
  auto application = std::make_unique<QApplication>(argc, argv);
  // The run ends the program, not the last window closed.
  application->setQuitOnLastWindowClosed(false);

  if (!reachedDisplay()) {
    if (!options.noWindow && displayNamed()) {
      std::cerr << "propclear: no display can be reached; the run goes on without its window\n";
    }
    return std::make_unique<DesktopPlatform>(std::move(application), nullptr,
                                             terminalPrompts(options), false);
  }
  auto window = std::make_unique<PlotWindow>();
  // An answer given beforehand means nobody is watching: nothing may wait.
  std::unique_ptr<PromptService> prompts =
      options.answer ? terminalPrompts(options) : std::make_unique<DialogPrompt>(window.get());
  const bool showErrorBox = !options.answer;
  return std::make_unique<DesktopPlatform>(std::move(application), std::move(window),
                                           std::move(prompts), showErrorBox);
}

// Qt ends the process (SIGABRT) when the display it is told to use cannot
// be reached. The studio has no terminal to go on on: it tries the display
// first, through a short-lived application that may fall back to
// "offscreen", and refuses with a message when it had to.
void requireReachableDisplay(const RunOptions& options, int& argc, char** argv) {
  const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
  if (!chosen.isEmpty()) return;  // a platform the user chose (tests: "offscreen")
  selectQtPlatform(options);
  bool reached = false;
  {
    const QGuiApplication probe(argc, argv);
    reached = reachedDisplay();
  }
  qunsetenv("QT_QPA_PLATFORM");
  if (reached) return;
  const QByteArray display = qgetenv("DISPLAY").isEmpty() ? qgetenv("WAYLAND_DISPLAY") : qgetenv("DISPLAY");
  throw RunError(ErrorKind::Usage, "the design studio cannot reach the display \"" +
                                       display.toStdString() +
                                       "\"; it needs a window (the plain run works without one)");
}

int startStudio(const RunOptions& options, int& argc, char** argv) {
  requireReachableDisplay(options, argc, argv);
  provideWorkingFolders();
  return studioMain(options, argc, argv);
}

}  // namespace

}  // namespace propclear

extern "C" const propclear::DesktopFrontEnd* propclear_desktop_front_end() {
  static const propclear::DesktopFrontEnd frontEnd{
      PROPCLEAR_VERSION, &propclear::makeDesktopPlatform, &propclear::writeClearanceReportPdf,
      propclear::sweepPlotSaver(), &propclear::startStudio};
  return &frontEnd;
}
