#include "design/design_file_text.h"

#include <cerrno>
#include <cstring>
#include <cstdio>
#include <memory>

#include "common/operating_system.h"
#include "common/run_error.h"

namespace propclear {

namespace {

[[noreturn]] void refuse(const std::filesystem::path& path, const std::string& reason) {
  throw RunError(ErrorKind::Input, "cannot read the file: " + reason, ErrorLocation{path.string()});
}

}  // namespace

std::string readDesignFileText(const std::filesystem::path& path) {
  const os::FileForReading opened = os::openRegularFileForReading(path);
  if (opened.refusal != nullptr) refuse(path, opened.refusal);
  if (opened.error) refuse(path, opened.error.message());
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  const std::unique_ptr<std::FILE, FileCloser> file(opened.stream);
  std::string text;
  char buffer[64 * 1024];
  std::size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    text.append(buffer, count);
    if (text.size() > maxDesignFileBytes) {
      refuse(path, "it holds more than the " + std::to_string(maxDesignFileBytes) +
                       " bytes a design file may have");
    }
  }
  if (std::ferror(file.get())) refuse(path, std::strerror(errno));
  return text;
}

}  // namespace propclear
