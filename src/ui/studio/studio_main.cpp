#include "ui/studio/studio_main.h"

#include <QApplication>

#include "ui/studio/studio_window.h"

namespace propclear {

int studioMain(const RunOptions& options, int& argc, char** argv) {
  QCoreApplication::setOrganizationName(QStringLiteral("propclear"));
  QCoreApplication::setApplicationName(QStringLiteral("propclear"));
  QApplication application(argc, argv);
  StudioWindow window;
  // Opened before it is shown, so that the first paint is the design's.
  if (options.designFile) window.openFile(options.workDir / *options.designFile);
  window.show();
  return QApplication::exec();
}

}  // namespace propclear
