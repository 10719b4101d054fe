#include "design/design_file_text.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "common/run_error.h"

namespace propclear {

namespace {

[[noreturn]] void refuse(const std::filesystem::path& path, const std::string& reason) {
  throw RunError(ErrorKind::Input, "cannot read the file: " + reason, ErrorLocation{path.string()});
}

}  // namespace

std::string readDesignFileText(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    refuse(path, error ? error.message() : "it is not a regular file");
  }
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) refuse(path, error.message());
  if (size > maxDesignFileBytes) {
    refuse(path, "it holds " + std::to_string(size) + " bytes, more than the " +
                     std::to_string(maxDesignFileBytes) + " a design file may have");
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) refuse(path, errno != 0 ? std::strerror(errno) : "it cannot be opened");
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace propclear
