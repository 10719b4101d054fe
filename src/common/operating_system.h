#pragma once
// The program's one contact with the operating system's files, descriptors
// and signals: what stands at a path, files written through temporary files
// beside their targets, the standard streams at start-up, the clean-up of
// temporary files when the process is interrupted, and folders for the
// desktop front end's runtime files. Everything above this header is
// portable; a port to another system replaces operating_system_posix.cpp.
// Errors come back as std::error_code in the system's generic category, whose
// message() is the system's own text ("Permission denied").

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

namespace propclear::os {

// What stands at a path, looked at without following a final symbolic link.
enum class Entry {
  Missing,      // nothing there (or a folder on the way cannot be searched)
  RegularFile,
  Link,         // a symbolic link, wherever it points
  Folder,
  Special,      // a FIFO, a socket or a device
};
Entry entryAt(const std::filesystem::path& path);

// Whether writing to `path` reaches a character device (/dev/null, a
// terminal) or a descriptor this process holds (/dev/stdout, /dev/fd/N,
// /proc/self/fd/N), through any links.
bool reachesDeviceOrDescriptor(const std::filesystem::path& path);

// Opens `path` for reading bytes, as std::fopen(path, "rb") with the path
// in the system's own encoding; null with errno set when it cannot.
std::FILE* openForReading(const std::filesystem::path& path);

// Whether the current user may write the existing file `path`.
bool mayWrite(const std::filesystem::path& path);

// The longest file name and the longest path, in bytes, that the file system
// holding `folder` takes.
std::size_t longestNameIn(const std::filesystem::path& folder);
std::size_t longestPathIn(const std::filesystem::path& folder);

// An open file the program writes. A temporary file is removed again when
// the object goes unless replace() has put it in place, and also when the
// process is interrupted (see removeTemporaryFilesOnInterruption).
class WrittenFile {
 public:
  WrittenFile() = default;
  ~WrittenFile();
  WrittenFile(WrittenFile&& other) noexcept;
  WrittenFile& operator=(WrittenFile&& other) noexcept;
  WrittenFile(const WrittenFile&) = delete;
  WrittenFile& operator=(const WrittenFile&) = delete;

  // A new empty file beside `target`, with the permissions an ordinary new
  // file gets: "." + the target's name + "." + six random letters and
  // digits, the name shortened to fit the file system's limit.
  static WrittenFile createBeside(const std::filesystem::path& target, std::error_code& error);
  // An existing device or descriptor, opened for writing at its end without
  // waiting (a pipe without a reader is an error, not a hang).
  static WrittenFile openExisting(const std::filesystem::path& path, std::error_code& error);
  // The process's standard output; left open when the object goes.
  static WrittenFile standardOutput();

  bool isOpen() const { return descriptor_ >= 0; }
  std::error_code write(std::string_view bytes);
  // Gives a temporary file the permissions of the regular file at `target`,
  // if there is one, and its owner and group where the process may set them.
  void takeAttributesOf(const std::filesystem::path& target);
  // Sets a temporary file's bytes on their way to the disk without waiting
  // for them. Files started one after the other before the first finish()
  // reach the disk together: their waits overlap instead of adding up.
  void startWriteBack();
  // Writes a temporary file through to the disk, then closes the file. A
  // temporary file that was never written into is closed at once: see the
  // comment of the definition.
  std::error_code finish();
  // Renames the finished temporary file over `target`: a link there is
  // replaced, not followed; a hard link is broken, not written through.
  std::error_code replace(const std::filesystem::path& target);

 private:
  void discard();

  int descriptor_ = -1;
  bool ownsDescriptor_ = true;
  bool holdsBytes_ = false;              // something was written into it
  std::filesystem::path temporaryPath_;  // empty when not a temporary file
};

// Opens the null device on each of descriptors 0, 1 and 2 that is closed, so
// that no file the program opens later takes a standard stream's place.
// False when that is not possible.
bool openClosedStandardStreams();

// From now on SIGINT, SIGTERM and SIGHUP (each unless ignored, as under
// nohup) remove the temporary files of unfinished outputs and then end the
// process by the same signal, which shells report as status 128 + signal.
void removeTemporaryFilesOnInterruption();

// The first of $TMPDIR, /tmp and /var/tmp that is a folder the user can
// create files in; nothing when none is.
std::optional<std::filesystem::path> usableTemporaryFolder();
// Whether `folder` is a folder that belongs to the user and that only the
// user may use (mode 0700).
bool isPrivateFolder(const std::filesystem::path& folder);
// The folder `base`/`prefix`-UID, created private to the user when missing;
// nothing when it is not (or cannot be made) such a folder.
std::optional<std::filesystem::path> privateFolderIn(const std::filesystem::path& base,
                                                     std::string_view prefix);

}  // namespace propclear::os
