#include "studies/row_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "common/run_error.h"
#include "report/write_json_results.h"

namespace propclear {

namespace {

[[noreturn]] void failStandardOutput() {
  const int error = errno;
  throw RunError(ErrorKind::FileSystem, std::string("cannot write the rows: ") +
                                            (error != 0 ? std::strerror(error) : "unknown error"),
                 ErrorLocation{"standard output"});
}

OutputFile::Mode modeFor(const std::filesystem::path& target) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(target, error);
  const bool inPlace = std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
  return inPlace ? OutputFile::Mode::Truncate : OutputFile::Mode::ReplaceOnCommit;
}

}  // namespace

RowOutput::RowOutput(const std::string& target) {
  if (target == standardOutputTarget) return;
  file_ = std::make_unique<OutputFile>(target, target, modeFor(target));
}

void RowOutput::write(std::string_view text) {
  if (file_) {
    file_->writeText(text);
    return;
  }
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) failStandardOutput();
}

void RowOutput::finish() {
  if (file_) {
    file_->commit();
    return;
  }
  errno = 0;
  if (std::fflush(stdout) != 0) failStandardOutput();
}

}  // namespace propclear
