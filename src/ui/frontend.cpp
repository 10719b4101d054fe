#include "ui/frontend.h"

#include <QApplication>
#include <iostream>

#include "driver/terminal_platform.h"
#include "ui/desktop_platform.h"
#include "ui/dialog_prompt.h"
#include "ui/qt_runtime_folder.h"

namespace propclear {

namespace {

bool displayNamed() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

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

}  // namespace

std::unique_ptr<RunPlatform> makePlatform(const RunOptions& options, int& argc, char** argv) {
  // Without a window and without an image Qt has nothing to do; starting it
  // (and, at exit, its font database) would cost more than the whole run.
  if ((options.noWindow || !displayNamed()) && !options.plotFile) {
    return std::make_unique<TerminalPlatform>(options.answer, std::cin, std::cerr);
  }
  selectQtPlatform(options);
  provideRuntimeFolder();
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

}  // namespace propclear
