#pragma once
// Reads a text file byte by byte through a fixed buffer, knowing the line and
// column of the next byte and its offset from the start. Memory stays bounded
// whatever the file holds: no line and no whole file is ever kept. A line ends
// with CR LF, LF or a lone CR. Text already in memory is read the same way.

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace propclear {

class TextFileCursor {
 public:
  static constexpr int endOfFile = -1;

  // Opens `path` for reading; `displayName` names the file in messages. A file
  // that cannot be opened throws RunError(ErrorKind::Input) with the system's
  // reason.
  TextFileCursor(const std::filesystem::path& path, std::string displayName);
  // Reads `text`, which must outlive the cursor.
  TextFileCursor(std::string_view text, std::string displayName);

  // The next byte (0..255), or endOfFile. A read error throws like the
  // constructor.
  int peek() {
    if (position_ == filled_ && !refill()) return endOfFile;
    return static_cast<unsigned char>(bytes_[position_]);
  }
  bool atLineEnd() {
    const int next = peek();
    return next == '\r' || next == '\n';
  }
  // Moves past the next byte, which is neither a line end nor the end of file.
  void advance() {
    ++position_;
    ++column_;
  }
  // Moves past the line end at the cursor: CR LF, LF or CR.
  void consumeLineEnd();

  long line() const { return line_; }
  // Bytes before the next one, from the start of the text.
  std::size_t offset() const { return bufferStart_ + position_; }
  long column() const { return column_; }
  const std::string& displayName() const { return displayName_; }

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  bool refill();

  std::string displayName_;
  std::unique_ptr<std::FILE, FileCloser> file_;
  std::unique_ptr<char[]> buffer_;  // for a file; text is read in place
  const char* bytes_ = nullptr;     // the buffered bytes
  std::size_t bufferStart_ = 0;     // offset of bytes_[0]
  std::size_t position_ = 0;
  std::size_t filled_ = 0;
  bool fileExhausted_ = false;
  long line_ = 1;
  long column_ = 1;
};

}  // namespace propclear
