#include "design/text_file_cursor.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include "common/operating_system.h"
#include "common/run_error.h"

namespace propclear {

namespace {

// Large enough that a design file of any sensible size is read in one go.
constexpr std::size_t bufferSize = 64 * 1024;

[[noreturn]] void throwFileFault(const std::string& displayName, const char* action, int error) {
  const std::string reason = error != 0 ? std::strerror(error) : "unknown error";
  throw RunError(ErrorKind::Input, std::string(action) + ": " + reason, ErrorLocation{displayName});
}

}  // namespace

TextFileCursor::TextFileCursor(const std::filesystem::path& path, std::string displayName)
    : displayName_(std::move(displayName)),
      // Left uninitialised, as make_unique_for_overwrite would (which
      // WebAssembly's C++ library does not have yet): every byte is read into.
      buffer_(new char[bufferSize]) {
  const os::FileForReading opened = os::openRegularFileForReading(path);
  if (opened.refusal != nullptr) {
    throw RunError(ErrorKind::Input, std::string("cannot read the file: ") + opened.refusal,
                   ErrorLocation{displayName_});
  }
  if (opened.error == std::errc::is_a_directory) {
    throwFileFault(displayName_, "cannot read the file", EISDIR);
  }
  if (opened.error) {
    // The whole path: a file that is not there is looked for in a folder the
    // user may not have meant.
    std::error_code ignored;
    const std::filesystem::path searched = std::filesystem::absolute(path, ignored);
    throw RunError(ErrorKind::Input, "cannot open " + (searched.empty() ? path : searched).string() +
                                         ": " + opened.error.message());
  }
  file_.reset(opened.stream);
}

TextFileCursor::TextFileCursor(std::string_view text, std::string displayName)
    : displayName_(std::move(displayName)),
      bytes_(text.data()),
      filled_(text.size()),
      fileExhausted_(true) {}

void TextFileCursor::consumeLineEnd() {
  const bool carriageReturn = peek() == '\r';
  ++position_;
  if (carriageReturn && peek() == '\n') ++position_;
  ++line_;
  column_ = 1;
}

bool TextFileCursor::refill() {
  if (fileExhausted_) return false;
  errno = 0;
  bufferStart_ += filled_;
  bytes_ = buffer_.get();
  filled_ = std::fread(buffer_.get(), 1, bufferSize, file_.get());
  position_ = 0;
  if (filled_ < bufferSize) {
    if (std::ferror(file_.get())) throwFileFault(displayName_, "cannot read the file", errno);
    fileExhausted_ = true;
  }
  return filled_ > 0;
}

}  // namespace propclear
