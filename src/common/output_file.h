#pragma once
// A text output file whose every write and close is checked. Lines end with
// CR LF. A failure throws RunError(ErrorKind::FileSystem) naming the file and
// the system's reason.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace propclear {

class OutputFile {
 public:
  enum class Mode {
    // The file is created (or emptied) at once and written in place.
    Truncate,
    // The lines go to a temporary file in the same folder, which commit()
    // renames over the target; until then an earlier file stays untouched,
    // and a failed or abandoned write leaves no partial file behind.
    ReplaceOnCommit,
  };

  // `displayName` names the file in messages (the bare file name).
  OutputFile(const std::filesystem::path& path, std::string displayName, Mode mode);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Writes text followed by CR LF.
  void writeLine(std::string_view text);
  // Writes text as it is, for formats that bring their own line ends.
  void writeText(std::string_view text);
  // Flushes and closes; for ReplaceOnCommit renames the finished file into place.
  void commit();

  const std::string& displayName() const { return displayName_; }

 private:
  [[noreturn]] void fail(const char* action, int error);
  void closeStream();

  std::filesystem::path target_;
  std::filesystem::path writtenPath_;
  std::string displayName_;
  Mode mode_;
  std::FILE* stream_ = nullptr;
};

}  // namespace propclear
