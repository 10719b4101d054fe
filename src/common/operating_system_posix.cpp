// The operating-system layer on Linux and other POSIX systems.

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <charconv>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>

#include "common/operating_system.h"

namespace propclear::os {

namespace fs = std::filesystem;

namespace {

// The kernel's magic numbers (linux/magic.h) of the /proc file system, whose
// fd links name open descriptors rather than files, and of /sys.
constexpr long procFileSystemMagic = 0x9fa0;
constexpr long sysFileSystemMagic = 0x62656572;
// As many links as the kernel follows before it gives up with ELOOP.
constexpr int mostLinksFollowed = 40;
// Limits for file systems that do not state their own.
constexpr std::size_t usualLongestName = 255;
constexpr std::size_t usualLongestPath = 4096;

std::error_code lastError() { return {errno, std::generic_category()}; }

fs::path folderOf(const fs::path& path) {
  return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// The temporary files of unfinished outputs, for the signal handler, which
// may only use async-signal-safe operations: fixed storage, lock-free flags.
// Enough slots for every file of one run at once.
struct PendingTemporary {
  std::atomic<bool> used{false};
  char path[PATH_MAX] = {};
};
std::array<PendingTemporary, 16> pendingTemporaries;
static_assert(std::atomic<bool>::is_always_lock_free);

void rememberTemporary(const fs::path& path) {
  const std::string& text = path.native();
  if (text.size() >= PATH_MAX) return;
  for (PendingTemporary& slot : pendingTemporaries) {
    if (slot.used.load()) continue;
    std::memcpy(slot.path, text.c_str(), text.size() + 1);
    slot.used.store(true);
    return;
  }
}

void forgetTemporary(const fs::path& path) {
  for (PendingTemporary& slot : pendingTemporaries) {
    if (slot.used.load() && path.native() == slot.path) {
      slot.used.store(false);
      return;
    }
  }
}

extern "C" void removeTemporariesAndEnd(int signalNumber) {
  for (PendingTemporary& slot : pendingTemporaries) {
    if (slot.used.load()) ::unlink(slot.path);
  }
  // SA_RESETHAND has restored the default action: the signal, raised again,
  // ends the process as soon as the handler returns.
  ::raise(signalNumber);
}

// "." + the target's name + "." before the random part, the name cut so
// that the whole fits `longestName`.
std::string temporaryStem(const std::string& targetName, std::size_t longestName) {
  constexpr std::size_t decoration = 8;  // the two dots and six random characters
  const std::size_t kept =
      longestName > decoration ? std::min(targetName.size(), longestName - decoration) : 0;
  std::string stem(1, '.');
  stem.append(targetName, 0, kept).push_back('.');
  return stem;
}

// The bits a temporary file's name is made of: unpredictable to other users
// (who could otherwise take the names first in a folder they share with
// this user), different in every process (a forked one included) and for
// every name of a process, and cheap: the system's randomness is asked once
// per process, then a count is stirred with SplitMix64's finaliser (Steele,
// Lea and Flood, "Fast splittable pseudorandom number generators", OOPSLA
// 2014). O_EXCL still decides: a name that is taken is skipped.
std::uint64_t temporaryNameBits() {
  static const std::uint64_t seed = [] {
    std::uint64_t bits = 0;
    if (::getentropy(&bits, sizeof bits) != 0) {
      // No randomness from the system: the clock still varies the names.
      timespec now{};
      ::clock_gettime(CLOCK_REALTIME, &now);
      bits = static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'000u +
             static_cast<std::uint64_t>(now.tv_nsec);
    }
    return bits;
  }();
  static std::atomic<std::uint64_t> namesMade{0};
  constexpr std::uint64_t goldenGamma = 0x9e3779b97f4a7c15;
  std::uint64_t bits = seed + goldenGamma * (namesMade.fetch_add(1) + 1) +
                       (static_cast<std::uint64_t>(::getpid()) << 32);
  bits = (bits ^ (bits >> 30)) * 0xbf58476d1ce4e5b9;
  bits = (bits ^ (bits >> 27)) * 0x94d049bb133111eb;
  return bits ^ (bits >> 31);
}

std::string randomLettersAndDigits() {
  static constexpr char alphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  constexpr std::uint64_t alphabetSize = sizeof alphabet - 1;
  std::uint64_t bits = temporaryNameBits();
  std::string letters(6, ' ');
  for (char& letter : letters) {
    letter = alphabet[bits % alphabetSize];
    bits /= alphabetSize;
  }
  return letters;
}

// Whether `path` is a link in /proc (or reaches one through links), such as
// /dev/stdout -> /proc/self/fd/1.
bool isDescriptorLink(const fs::path& path) {
  fs::path current = path;
  for (int followed = 0; followed < mostLinksFollowed; ++followed) {
    struct stat status {};
    if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return false;
    struct statfs fileSystem {};
    if (::statfs(folderOf(current).c_str(), &fileSystem) == 0 &&
        fileSystem.f_type == procFileSystemMagic) {
      return true;
    }
    std::error_code error;
    const fs::path next = fs::read_symlink(current, error);
    if (error) return false;
    current = next.is_absolute() ? next : folderOf(current) / next;
  }
  return false;
}

bool sameEntry(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The type of f_type is the C library's: signed in glibc, unsigned in
// emscripten's.
bool inFileSystem(int descriptor, long magic) {
  struct statfs fileSystem {};
  return ::fstatfs(descriptor, &fileSystem) == 0 &&
         static_cast<long>(fileSystem.f_type) == magic;
}

// The descriptor N of this process that the /proc link `link` names
// (/proc/self/fd/N, /proc/thread-self/fd/N, /proc/<pid>/fd/N), or -1.
int ownDescriptorNamed(const fs::path& link) {
  const std::string name = link.filename().native();
  int number = -1;
  const auto [end, failure] = std::from_chars(name.data(), name.data() + name.size(), number);
  if (failure != std::errc() || end != name.data() + name.size()) return -1;
  if (link.parent_path().filename() != "fd") return -1;
  return number;
}


// A second descriptor for this process's own descriptor that the link in
// /proc `link` names, sharing its offset, so that what is written goes in
// order with everything else written to it. The link must name the same
// file as the process's descriptor of that number: a link to another
// process's descriptor, which an open would reach with this process's
// rights, is refused without being opened.
int openOwnDescriptor(const fs::path& link, std::error_code& error) {
  const int own = ownDescriptorNamed(link);
  struct stat ownStatus {};
  struct stat linked {};
  if (own < 0 || ::fstat(own, &ownStatus) != 0 || ::stat(link.c_str(), &linked) != 0 ||
      !sameEntry(linked, ownStatus)) {
    error = std::make_error_code(std::errc::no_such_device);
    return -1;
  }
  const int descriptor = ::fcntl(own, F_DUPFD_CLOEXEC, 0);
  if (descriptor < 0) error = lastError();
  return descriptor;
}

// Follows the links at `path` by reading them, then opens the character
// device at the end without following a link, or this process's descriptor.
int openDeviceOrOwnDescriptor(const fs::path& path, std::error_code& error) {
  fs::path current = path;
  for (int followed = 0; followed <= mostLinksFollowed; ++followed) {
    struct stat seen {};
    if (::lstat(current.c_str(), &seen) != 0) {
      error = lastError();
      return -1;
    }
    if (S_ISLNK(seen.st_mode)) {
      struct statfs fileSystem {};
      if (::statfs(folderOf(current).c_str(), &fileSystem) == 0 &&
          fileSystem.f_type == procFileSystemMagic) {
        return openOwnDescriptor(current, error);
      }
      const fs::path next = fs::read_symlink(current, error);
      if (error) return -1;
      current = next.is_absolute() ? next : folderOf(current) / next;
      continue;
    }
    if (!S_ISCHR(seen.st_mode)) break;
    // Non-blocking only to open (a device that would wait to open is an
    // error, not a hang); written to, it is waited for like any other.
    const int descriptor = ::open(current.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_NONBLOCK |
                                                       O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0) {
      error = lastError();
      return -1;
    }
    struct stat opened {};
    if (::fstat(descriptor, &opened) == 0 && S_ISCHR(opened.st_mode) && sameEntry(opened, seen) &&
        opened.st_rdev == seen.st_rdev) {
      ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
      return descriptor;
    }
    ::close(descriptor);
    break;
  }
  error = std::make_error_code(std::errc::no_such_device);
  return -1;
}

bool acceptsFiles(const fs::path& folder) {
  struct stat status {};
  return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
         ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

Entry entryAt(const fs::path& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0) return Entry::Missing;
  if (S_ISLNK(status.st_mode)) return Entry::Link;
  if (S_ISREG(status.st_mode)) return Entry::RegularFile;
  if (S_ISDIR(status.st_mode)) return Entry::Folder;
  return Entry::Special;
}

bool reachesDeviceOrDescriptor(const fs::path& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) == 0 && S_ISCHR(status.st_mode)) return true;
  return isDescriptorLink(path);
}

bool mayWrite(const fs::path& path) { return ::access(path.c_str(), W_OK) == 0; }

fs::path runningProgramPath(std::error_code& error) {
  return fs::read_symlink("/proc/self/exe", error);
}

bool sameFile(const fs::path& a, const fs::path& b) {
  struct stat statusA {};
  struct stat statusB {};
  return ::stat(a.c_str(), &statusA) == 0 && ::stat(b.c_str(), &statusB) == 0 &&
         sameEntry(statusA, statusB);
}

namespace {

std::optional<fs::path> changeableByOthers(const fs::path& path, int linksFollowed) {
  const uid_t user = ::geteuid();
  std::error_code error;
  fs::path current = fs::absolute(path, error).lexically_normal();
  while (true) {
    struct stat status {};
    if (::lstat(current.c_str(), &status) != 0) return current;
    const bool ownedByOther = status.st_uid != 0 && status.st_uid != user;
    const bool writableByOthers = (status.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    const bool sticky = S_ISDIR(status.st_mode) && (status.st_mode & S_ISVTX) != 0;
    if (ownedByOther || (writableByOthers && !sticky && !S_ISLNK(status.st_mode))) return current;
    if (S_ISLNK(status.st_mode)) {
      // A link: the place it leads to must be as safe as the link itself.
      const fs::path target = fs::read_symlink(current, error);
      if (error || linksFollowed >= mostLinksFollowed) return current;
      if (std::optional<fs::path> unsafe = changeableByOthers(
              target.is_absolute() ? target : current.parent_path() / target, linksFollowed + 1)) {
        return unsafe;
      }
    }
    if (current == current.root_path() || !current.has_relative_path()) return std::nullopt;
    current = current.parent_path();
  }
}

}  // namespace

std::optional<fs::path> changeableByOthers(const fs::path& path) {
  return changeableByOthers(path, 0);
}

FileForReading openRegularFileForReading(const fs::path& path) {
  FileForReading result;
  // Non-blocking: a FIFO without a writer would otherwise hold the open.
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) {
    result.error = lastError();
    return result;
  }
  struct stat status {};
  if (::fstat(descriptor, &status) != 0) {
    result.error = lastError();
  } else if (S_ISDIR(status.st_mode)) {
    result.error = std::make_error_code(std::errc::is_a_directory);
  } else if (!S_ISREG(status.st_mode)) {
    result.refusal = "it is not a regular file (a device, pipe or socket)";
  } else if (inFileSystem(descriptor, procFileSystemMagic) ||
             inFileSystem(descriptor, sysFileSystemMagic)) {
    result.refusal = "it is a file of the kernel (/proc or /sys), not a file on a disk";
  }
  if (result.error || result.refusal != nullptr) {
    ::close(descriptor);
    return result;
  }
  result.stream = ::fdopen(descriptor, "rb");
  if (result.stream == nullptr) {
    result.error = lastError();
    ::close(descriptor);
  }
  return result;
}

std::size_t longestNameIn(const fs::path& folder) {
  const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  return limit > 0 ? static_cast<std::size_t>(limit) : usualLongestName;
}

std::size_t longestPathIn(const fs::path& folder) {
  const long limit = ::pathconf(folder.c_str(), _PC_PATH_MAX);
  return limit > 0 ? static_cast<std::size_t>(limit) : usualLongestPath;
}

WrittenFile::~WrittenFile() { discard(); }

WrittenFile::WrittenFile(WrittenFile&& other) noexcept { *this = std::move(other); }

WrittenFile& WrittenFile::operator=(WrittenFile&& other) noexcept {
  if (this != &other) {
    discard();
    descriptor_ = std::exchange(other.descriptor_, -1);
    ownsDescriptor_ = other.ownsDescriptor_;
    holdsBytes_ = std::exchange(other.holdsBytes_, false);
    temporaryPath_ = std::exchange(other.temporaryPath_, {});
  }
  return *this;
}

WrittenFile WrittenFile::createBeside(const fs::path& target, std::error_code& error) {
  const fs::path folder = folderOf(target);
  const std::string stem = temporaryStem(target.filename().native(), longestNameIn(folder));
  // Absolute, for the clean-up list: the handler cannot know the folder.
  fs::path absoluteFolder = fs::absolute(folder, error);
  if (error) absoluteFolder = folder;
  error.clear();
  // The name is known before the file exists, so the clean-up list holds it
  // from the first moment the file may be there.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = absoluteFolder / (stem + randomLettersAndDigits());
    rememberTemporary(candidate);
    const int descriptor =
        ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (descriptor >= 0) {
      WrittenFile file;
      file.descriptor_ = descriptor;
      file.temporaryPath_ = candidate;
      return file;
    }
    error = lastError();
    forgetTemporary(candidate);
    if (error != std::errc::file_exists) return {};
  }
  return {};
}

WrittenFile WrittenFile::openExisting(const fs::path& path, std::error_code& error) {
  error.clear();
  const int descriptor = openDeviceOrOwnDescriptor(path, error);
  if (descriptor < 0) return {};
  WrittenFile file;
  file.descriptor_ = descriptor;
  return file;
}

WrittenFile WrittenFile::standardOutput() {
  WrittenFile file;
  file.descriptor_ = STDOUT_FILENO;
  file.ownsDescriptor_ = false;
  return file;
}

std::error_code WrittenFile::write(std::string_view bytes) {
  holdsBytes_ = holdsBytes_ || !bytes.empty();
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return lastError();
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

void WrittenFile::takeAttributesOf(const fs::path& target) {
  struct stat status {};
  if (::lstat(target.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return;
  // Only the super-user may give a file away; a user can still keep the
  // group when a member of it. Otherwise the file stays the user's own.
  if (::fchown(descriptor_, status.st_uid, status.st_gid) != 0 &&
      ::fchown(descriptor_, static_cast<uid_t>(-1), status.st_gid) != 0) {
    // the new file keeps the user's own group
  }
  ::fchmod(descriptor_, status.st_mode & 0777);
}

// Only starts the writing of the data: finish() still waits for it and for
// the file's metadata, and reports any error. With every file's data under
// way before the first fsync, one journal commit of the file system takes in
// all the new files, and the later fsyncs find their files already on the
// disk: on ext4, two files committed together cost about one fsync instead
// of two. (An fsync per file on threads of its own saved less there and
// costs a thread per file.)
// (Emscripten's C library declares sync_file_range, but its in-memory file
// system has no disk to write back to and no such call.)
void WrittenFile::startWriteBack() {
#if defined(SYNC_FILE_RANGE_WRITE) && !defined(__EMSCRIPTEN__)
  if (!temporaryPath_.empty() && holdsBytes_) {
    ::sync_file_range(descriptor_, 0, 0, SYNC_FILE_RANGE_WRITE);
  }
#endif
}

// A file with bytes is on the disk before replace() puts it in place: after
// a crash the target is the earlier file or the new one whole, never an
// empty or partial new one. A file without bytes (the emptied report) has
// no data the disk could lose: its creation and its rename are metadata,
// which a journaling file system commits in order, so after a crash the
// target is the earlier file or the empty one either way. It goes in place
// without waiting for the disk.
std::error_code WrittenFile::finish() {
  std::error_code error;
  if (!temporaryPath_.empty() && holdsBytes_ && ::fsync(descriptor_) != 0) error = lastError();
  if (ownsDescriptor_ && ::close(descriptor_) != 0 && !error) error = lastError();
  descriptor_ = -1;
  return error;
}

std::error_code WrittenFile::replace(const fs::path& target) {
  if (::rename(temporaryPath_.c_str(), target.c_str()) != 0) return lastError();
  forgetTemporary(temporaryPath_);
  temporaryPath_.clear();
  return {};
}

void WrittenFile::discard() {
  if (descriptor_ >= 0 && ownsDescriptor_) ::close(descriptor_);
  descriptor_ = -1;
  if (!temporaryPath_.empty()) {
    ::unlink(temporaryPath_.c_str());
    forgetTemporary(temporaryPath_);
    temporaryPath_.clear();
  }
}

bool openClosedStandardStreams() {
  for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
    if (::fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free descriptor is this one: those below it are open.
    const int opened = ::open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (opened != descriptor) return false;
  }
  return true;
}

void removeTemporaryFilesOnInterruption() {
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1,
                                 SIGUSR2, SIGXFSZ, SIGXCPU, SIGVTALRM, SIGPROF}) {
    struct sigaction current {};
    if (::sigaction(signalNumber, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = removeTemporariesAndEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    ::sigaction(signalNumber, &action, nullptr);
  }
}

std::optional<fs::path> usableTemporaryFolder() {
  const char* given = std::getenv("TMPDIR");
  for (const char* candidate : {given, "/tmp", "/var/tmp"}) {
    if (candidate != nullptr && *candidate != '\0' && acceptsFiles(candidate)) return fs::path(candidate);
  }
  return std::nullopt;
}

bool isPrivateFolder(const fs::path& folder) {
  struct stat status {};
  return ::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
         status.st_uid == ::getuid() && (status.st_mode & 0777) == 0700;
}

std::optional<fs::path> privateFolderIn(const fs::path& base, std::string_view prefix) {
  std::string name(prefix);
  name.append("-").append(std::to_string(::getuid()));
  const fs::path folder = base / name;
  ::mkdir(folder.c_str(), 0700);
  if (!isPrivateFolder(folder)) return std::nullopt;
  return folder;
}

}  // namespace propclear::os
