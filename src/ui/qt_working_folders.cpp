#include "ui/qt_working_folders.h"

#include <QByteArray>
#include <QtGlobal>
#include <filesystem>
#include <optional>

#include "common/operating_system.h"

namespace propclear {

void provideWorkingFolders() {
  const std::optional<std::filesystem::path> temporary = os::usableTemporaryFolder();
  if (!temporary) return;
  if (!qEnvironmentVariableIsEmpty("TMPDIR")) qputenv("TMPDIR", QByteArray(temporary->c_str()));
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && os::isPrivateFolder(runtime.constData())) return;
  if (const std::optional<std::filesystem::path> folder = os::privateFolderIn(*temporary, "runtime")) {
    qputenv("XDG_RUNTIME_DIR", QByteArray(folder->c_str()));
  }
}

}  // namespace propclear
