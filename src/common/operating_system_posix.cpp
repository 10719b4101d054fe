// The operating-system layer on Linux and other POSIX systems.

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

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

// The kernel's magic number of the /proc file system (linux/magic.h), whose
// fd links name open descriptors rather than files.
constexpr long procFileSystemMagic = 0x9fa0;
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

std::FILE* openForReading(const fs::path& path) { return std::fopen(path.c_str(), "rb"); }

bool mayWrite(const fs::path& path) { return ::access(path.c_str(), W_OK) == 0; }

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
  const int descriptor =
      ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) {
    error = lastError();
    return {};
  }
  // Non-blocking only to open: a full pipe is then waited for like any other.
  ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
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
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
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
