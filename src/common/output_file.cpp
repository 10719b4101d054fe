#include "common/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/run_error.h"

namespace propclear {

namespace {

std::string systemReason(int error) { return error != 0 ? std::strerror(error) : "unknown error"; }

// Opens a fresh temporary file beside `target`, readable like a normal file.
std::FILE* openTemporaryBeside(const std::filesystem::path& target, std::filesystem::path& tempPath) {
  // Built by appending: GCC 12 warns falsely about '"." + string'.
  std::string hiddenName(1, '.');
  hiddenName.append(target.filename().string()).append(".XXXXXX");
  std::string pattern = (target.parent_path() / hiddenName).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return nullptr;
  tempPath = pattern;
  // mkstemp creates the file private to the user; a replaced file should carry
  // the permissions an ordinary new file gets.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  std::FILE* stream = ::fdopen(fd, "wb");
  if (stream == nullptr) {
    const int error = errno;
    ::close(fd);
    ::unlink(pattern.c_str());
    errno = error;
  }
  return stream;
}

}  // namespace

OutputFile::OutputFile(const std::filesystem::path& path, std::string displayName, Mode mode)
    : target_(path), displayName_(std::move(displayName)), mode_(mode) {
  errno = 0;
  if (mode_ == Mode::Truncate) {
    writtenPath_ = target_;
    stream_ = std::fopen(target_.c_str(), "wb");
  } else {
    stream_ = openTemporaryBeside(target_, writtenPath_);
  }
  if (stream_ == nullptr) fail("cannot create", errno);
}

OutputFile::~OutputFile() {
  if (stream_ != nullptr) {
    std::fclose(stream_);
    if (mode_ == Mode::ReplaceOnCommit) ::unlink(writtenPath_.c_str());
  }
}

void OutputFile::writeLine(std::string_view text) {
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), stream_) != text.size() ||
      std::fwrite("\r\n", 1, 2, stream_) != 2) {
    fail("cannot write", errno);
  }
}

void OutputFile::writeText(std::string_view text) {
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), stream_) != text.size()) fail("cannot write", errno);
}

void OutputFile::commit() {
  if (stream_ == nullptr) return;
  closeStream();
  if (mode_ == Mode::ReplaceOnCommit) {
    errno = 0;
    if (std::rename(writtenPath_.c_str(), target_.c_str()) != 0) {
      const int error = errno;
      ::unlink(writtenPath_.c_str());
      fail("cannot replace", error);
    }
  }
}

void OutputFile::closeStream() {
  errno = 0;
  std::FILE* stream = stream_;
  stream_ = nullptr;
  const bool flushed = std::fflush(stream) == 0;
  int error = errno;
  if (flushed && mode_ == Mode::ReplaceOnCommit && ::fsync(::fileno(stream)) != 0) {
    error = errno;
    std::fclose(stream);
    ::unlink(writtenPath_.c_str());
    fail("cannot write", error);
  }
  const bool closed = std::fclose(stream) == 0;
  if (!closed && error == 0) error = errno;
  if (!flushed || !closed) {
    if (mode_ == Mode::ReplaceOnCommit) ::unlink(writtenPath_.c_str());
    fail("cannot write", error);
  }
}

void OutputFile::fail(const char* action, int error) {
  throw RunError(ErrorKind::FileSystem,
                 std::string(action) + " the file: " + systemReason(error),
                 ErrorLocation{displayName_});
}

}  // namespace propclear
