#pragma once
// An output file of the run. Its lines go to a temporary file beside the
// target, which commit() renames over the target: an earlier file stays as
// it was until then, a link is replaced instead of followed, a hard link is
// broken instead of written through, and a failed or abandoned write leaves
// nothing behind. A replaced file keeps its permissions (and its owner and
// group where the process may set them). Text lines end with CR LF. Every
// failure throws RunError(ErrorKind::FileSystem) naming the file and the
// system's reason.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/operating_system.h"

namespace propclear {

class OutputFile {
 public:
  // What an existing device or descriptor of the process given as the target
  // (/dev/null, /dev/stdout) gets: written into directly, never replaced (the
  // opt-in outputs), or refused like any other target that is not a regular
  // file (the run's own files).
  enum class Devices { Refuse, WriteInto };
  struct StandardOutput {};

  // Starts the first version of `path`. `displayName` names the file in
  // messages. A folder, a FIFO or the like, and an existing file the user
  // may not write, are refused as below.
  OutputFile(const std::filesystem::path& path, std::string displayName, Devices devices);
  // The same after the checks of replacementProblem(): a target it finds
  // fault with is refused with RunError(ErrorKind::FileSystem) "cannot write
  // the file: " and the problem. The first version's temporary file is
  // itself the check that the folder takes a new file: none is made and
  // removed for it.
  struct Checked {};
  OutputFile(const std::filesystem::path& path, std::string displayName, Devices devices, Checked);
  // Writes to the process's standard output.
  explicit OutputFile(StandardOutput);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Writes text followed by CR LF.
  void writeLine(std::string_view text);
  // Writes text as it is, for formats that bring their own line ends.
  void writeText(std::string_view text);
  // Puts what was written since the last commit in place of the target, by
  // one rename, once it is on the disk; what is written afterwards is the
  // next version. A commit with nothing written since the last one changes
  // nothing, except that the first version, even empty, replaces the earlier
  // file. A device is flushed.
  void commit();
  // The first half of commit() for a file: writes out what is buffered and
  // sets the version on its way to the disk without waiting. Files committed
  // together are all sent first, so that they reach the disk together. A
  // device is left to commit().
  void sendToDisk();

  const std::string& displayName() const { return displayName_; }
  const std::filesystem::path& target() const { return target_; }

 private:
  void openDevice();
  void startVersion();
  void flush();
  [[noreturn]] void refuse(const std::string& problem) const;
  [[noreturn]] void fail(const char* action, std::error_code error) const;

  std::filesystem::path target_;
  std::string displayName_;
  bool intoDevice_ = false;
  bool sentToDisk_ = false;  // sendToDisk() has given this version the target's attributes
  os::WrittenFile file_;
  std::string buffered_;
};

// Why `target` cannot be written the way OutputFile writes it, or nothing
// when it can: its name or path is longer than the file system takes, it is
// a folder, a FIFO, socket or device (unless `devices` lets a device be
// written into), a write-protected file, or its folder does not take a new
// file (found out by creating one and removing it again).
std::optional<std::string> replacementProblem(const std::filesystem::path& target,
                                              OutputFile::Devices devices);
// All those checks but the last, for a target beside a file just created.
std::optional<std::string> targetProblem(const std::filesystem::path& target,
                                         OutputFile::Devices devices);
// The folder a file goes into: its parent, or the current directory.
std::filesystem::path folderOf(const std::filesystem::path& target);

// Only the first of those checks: the name's and the path's length.
std::optional<std::string> lengthProblem(const std::filesystem::path& target);

}  // namespace propclear
