#include "ui/qt_runtime_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QtGlobal>
#include <filesystem>
#include <string>

namespace propclear {

void provideRuntimeFolder() {
  if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
  const uid_t user = ::getuid();
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("runtime-" + std::to_string(user));
  ::mkdir(folder.c_str(), 0700);
  struct stat status {};
  if (::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
      status.st_uid == user && (status.st_mode & 0777) == 0700) {
    qputenv("XDG_RUNTIME_DIR", QByteArray(folder.c_str()));
  }
}

}  // namespace propclear
