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

// Whether the current user may write the existing file `path`.
bool mayWrite(const std::filesystem::path& path);

// Whether `a` and `b` name the same existing file, through any links.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// The running program's own file, with links resolved; empty, with `error`
// set, when the system cannot tell.
std::filesystem::path runningProgramPath(std::error_code& error);

// The first of `path` and the folders above it, up to the root, that a user
// other than the super-user and the current one may change: one that such a
// user owns, or that their group or everyone may write (a folder with the
// sticky bit, as /tmp, only lets them change their own entries and passes).
// Nothing when none is. A module loaded from such a place could be
// replaced by code of that user's choosing, run with this user's rights.
std::optional<std::filesystem::path> changeableByOthers(const std::filesystem::path& path);

// A file opened for reading, or why it was not. Only a regular file on a
// disk is read: a FIFO or a device may wait for ever or never end, and a
// file of the kernel's /proc or /sys claims a size it does not have and may
// wait (/proc/kmsg) or change the system when read. The open itself never
// waits.
struct FileForReading {
  std::FILE* stream = nullptr;  // open for reading in binary; the caller closes it
  std::error_code error;        // the system's reason the open failed (a folder: EISDIR)
  const char* refusal = nullptr;  // why an entry that opened is not read
};
FileForReading openRegularFileForReading(const std::filesystem::path& path);

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
  // An existing character device, opened for writing at its end without
  // waiting, or a descriptor this process holds (/dev/stdout, /dev/fd/N),
  // duplicated so that what is written follows what the process wrote to it
  // before. Links are followed by reading them, not by the open: the entry
  // opened is the one looked at, and the open descriptor is checked to be
  // that same character device; a descriptor link must name this process's
  // own descriptor. Anything else, such as a link another user turns from
  // /dev/null to a file of theirs while the program runs, or a link to
  // another process's descriptor, is refused (ENODEV) before a byte is
  // written.
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

// From now on every signal that ends the process by default (SIGINT,
// SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGXFSZ,
// SIGXCPU, SIGVTALRM, SIGPROF; each unless ignored, as SIGHUP under nohup)
// removes the temporary files of unfinished outputs and then ends the
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
