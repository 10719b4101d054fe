// The operating-system layer on Windows. Names are UTF-8 inside the program
// (see operating_system_windows_path_encoding.cpp) and UTF-16 at the system:
// every call here is a wide one, on the absolute path with the
// extended-length prefix (\\?\), so that paths longer than MAX_PATH (260)
// work. WrittenFile keeps a C runtime descriptor over the file's handle, as
// the class's interface holds descriptors; the bytes go through WriteFile,
// never through the C runtime's text translation.

#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "common/operating_system.h"

namespace propclear::os {

namespace fs = std::filesystem;

namespace {

// The longest path the wide calls take with the \\?\ prefix, in UTF-16
// units ("Maximum Path Length Limitation", Windows API documentation).
constexpr std::size_t extendedLongestPath = 32767;
// NTFS's and FAT32's longest name, in UTF-16 units, for a volume that does
// not state its own.
constexpr std::size_t usualLongestName = 255;

// The Windows errors the program meets on files, as the portable conditions
// whose text the POSIX build shows; any other keeps the system's own code
// and text.
std::error_code errorOf(DWORD code) {
  struct Portable {
    DWORD windows;
    std::errc condition;
  };
  static constexpr std::array<Portable, 11> portable{{
      {ERROR_ACCESS_DENIED, std::errc::permission_denied},
      {ERROR_FILE_NOT_FOUND, std::errc::no_such_file_or_directory},
      {ERROR_PATH_NOT_FOUND, std::errc::no_such_file_or_directory},
      {ERROR_FILE_EXISTS, std::errc::file_exists},
      {ERROR_ALREADY_EXISTS, std::errc::file_exists},
      {ERROR_DISK_FULL, std::errc::no_space_on_device},
      {ERROR_HANDLE_DISK_FULL, std::errc::no_space_on_device},
      {ERROR_WRITE_PROTECT, std::errc::read_only_file_system},
      {ERROR_FILENAME_EXCED_RANGE, std::errc::filename_too_long},
      {ERROR_DIRECTORY, std::errc::not_a_directory},
      {ERROR_NOT_READY, std::errc::no_such_device},
  }};
  for (const Portable& entry : portable) {
    if (entry.windows == code) return std::make_error_code(entry.condition);
  }
  return {static_cast<int>(code), std::system_category()};
}

std::error_code lastError() { return errorOf(::GetLastError()); }

fs::path folderOf(const fs::path& path) {
  return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// The absolute, normalised path with the extended-length prefix, which
// lifts MAX_PATH and turns off the name rules of the Win32 layer (trailing
// dots and blanks kept, device names not looked for): those are decided
// here, before (isDeviceName). A path that cannot be made absolute is given
// as it is.
std::wstring systemPath(const fs::path& path) {
  const std::wstring& given = path.native();
  if (given.starts_with(LR"(\\?\)") || given.starts_with(LR"(\\.\)")) return given;
  const DWORD needed = ::GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return given;
  std::wstring full(needed, L'\0');
  const DWORD length = ::GetFullPathNameW(given.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return given;
  full.resize(length);
  if (full.starts_with(LR"(\\)")) return LR"(\\?\UNC\)" + full.substr(2);  // \\server\share
  return LR"(\\?\)" + full;
}

DWORD attributesOf(const fs::path& path) { return ::GetFileAttributesW(systemPath(path).c_str()); }

std::wstring upperCaseAscii(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  return text;
}

// Whether `path` names a device: one in the device namespace (\\.\), the
// console (CONIN$, CONOUT$), or a last part that Windows takes for a device
// in any folder: NUL, CON, PRN, AUX, COM1-9 or LPT1-9 (the last two also
// with a superscript digit), in any case, also with an extension or
// trailing blanks ("nul.txt", "Con ").
bool isDeviceName(const fs::path& path) {
  const std::wstring& text = path.native();
  if (text.starts_with(LR"(\\.\)") || text.starts_with(L"//./")) return true;
  const std::wstring name = upperCaseAscii(path.filename().native());
  if (name == L"CONIN$" || name == L"CONOUT$") return true;
  std::wstring stem = name.substr(0, name.find(L'.'));
  stem.erase(stem.find_last_not_of(L' ') + 1);
  if (stem == L"NUL" || stem == L"CON" || stem == L"PRN" || stem == L"AUX") return true;
  if (stem.size() != 4 || !(stem.starts_with(L"COM") || stem.starts_with(L"LPT"))) return false;
  const wchar_t number = stem[3];
  return (number >= L'1' && number <= L'9') || number == L'\u00b9' || number == L'\u00b2' ||
         number == L'\u00b3';
}

// The temporary files of unfinished outputs, for the console's control
// handler, which runs on a thread of its own while the run goes on. Once it
// has them, it keeps the lock: no output is put in place after it.
std::mutex pendingTemporariesLock;
std::vector<std::wstring> pendingTemporaries;

void rememberTemporary(const std::wstring& path) {
  const std::lock_guard<std::mutex> lock(pendingTemporariesLock);
  pendingTemporaries.push_back(path);
}

void forgetTemporary(const std::wstring& path) {
  const std::lock_guard<std::mutex> lock(pendingTemporariesLock);
  std::erase(pendingTemporaries, path);
}

BOOL WINAPI removeTemporariesAndEnd(DWORD /*event*/) {
  pendingTemporariesLock.lock();
  for (const std::wstring& path : pendingTemporaries) ::DeleteFileW(path.c_str());
  // Not handled: the system's default handler ends the process, with the
  // status a shell reports for Ctrl+C (STATUS_CONTROL_C_EXIT).
  return FALSE;
}

// "." + the target's name + "." before the random part, the name cut so
// that the whole fits `longestName`.
std::wstring temporaryStem(const std::wstring& targetName, std::size_t longestName) {
  constexpr std::size_t decoration = 8;  // the two dots and six random characters
  const std::size_t kept =
      longestName > decoration ? std::min(targetName.size(), longestName - decoration) : 0;
  std::wstring stem(1, L'.');
  stem.append(targetName, 0, kept).push_back(L'.');
  return stem;
}

// Six letters and digits, from a generator seeded once per process by the
// system's randomness (std::random_device, rand_s on Windows): other users
// cannot foresee the names. CREATE_NEW still decides: a name that is taken
// is skipped.
std::wstring randomLettersAndDigits() {
  static constexpr wchar_t alphabet[] =
      L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static std::mutex generatorLock;
  static std::mt19937_64 generator{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, std::size(alphabet) - 2);
  const std::lock_guard<std::mutex> lock(generatorLock);
  std::wstring letters(6, L' ');
  for (wchar_t& letter : letters) letter = alphabet[pick(generator)];
  return letters;
}

HANDLE handleOf(int descriptor) { return reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor)); }

}  // namespace

Entry entryAt(const fs::path& path) {
  if (isDeviceName(path)) return Entry::Special;
  const DWORD attributes = attributesOf(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return Entry::Missing;
  // Symbolic links and junctions alike.
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return Entry::Link;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Entry::Folder;
  if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) return Entry::Special;
  return Entry::RegularFile;
}

bool reachesDeviceOrDescriptor(const fs::path& path) { return isDeviceName(path); }

// A device (CON.TSK is the console) or a pipe is never read: it is no file
// on disk, and may wait for ever or never end.
FileForReading openRegularFileForReading(const fs::path& path) {
  constexpr const char* notAFileOnDisk = "it is not a regular file (a device, pipe or socket)";
  FileForReading result;
  if (isDeviceName(path)) {
    result.refusal = notAFileOnDisk;
    return result;
  }
  const DWORD attributes = attributesOf(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    result.error = std::make_error_code(std::errc::is_a_directory);
    return result;
  }
  result.stream = ::_wfopen(systemPath(path).c_str(), L"rb");
  if (result.stream == nullptr) {
    result.error = std::error_code(errno, std::generic_category());
  } else if (::GetFileType(handleOf(::_fileno(result.stream))) != FILE_TYPE_DISK) {
    std::fclose(result.stream);
    result.stream = nullptr;
    result.refusal = notAFileOnDisk;
  }
  return result;
}

// The module file of the process: GetModuleFileNameW truncates silently,
// so the buffer grows until the name fits.
fs::path runningProgramPath(std::error_code& error) {
  std::wstring name(MAX_PATH, L'\0');
  while (true) {
    const DWORD length = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) {
      error = std::error_code(static_cast<int>(::GetLastError()), std::system_category());
      return {};
    }
    if (length < name.size()) {
      name.resize(length);
      error.clear();
      return fs::path(name);
    }
    name.resize(name.size() * 2);
  }
}

// The same volume and the same file index: one file under two names (a
// hard link or a link to it).
bool sameFile(const fs::path& a, const fs::path& b) {
  const auto identityOf = [](const fs::path& path, BY_HANDLE_FILE_INFORMATION& information) {
    const HANDLE file = ::CreateFileW(systemPath(path).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool known = ::GetFileInformationByHandle(file, &information) != 0;
    ::CloseHandle(file);
    return known;
  };
  BY_HANDLE_FILE_INFORMATION first{};
  BY_HANDLE_FILE_INFORMATION second{};
  return identityOf(a, first) && identityOf(b, second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

// The read-only attribute, then the file's access rights, asked by opening
// it for writing, which changes nothing in it. A file another program holds
// open (a spreadsheet showing the CSV) is not write-protected: the
// replacing says so itself, in the system's words.
bool mayWrite(const fs::path& path) {
  const DWORD attributes = attributesOf(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return false;
  }
  const HANDLE file = ::CreateFileW(systemPath(path).c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_SHARING_VIOLATION;
  ::CloseHandle(file);
  return true;
}

std::size_t longestNameIn(const fs::path& folder) {
  const HANDLE handle = ::CreateFileW(systemPath(folder).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return usualLongestName;
  DWORD longestComponent = 0;
  const bool known = ::GetVolumeInformationByHandleW(handle, nullptr, 0, nullptr, &longestComponent,
                                                     nullptr, nullptr, 0);
  ::CloseHandle(handle);
  return known && longestComponent > 0 ? longestComponent : usualLongestName;
}

std::size_t longestPathIn(const fs::path& /*folder*/) { return extendedLongestPath; }

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

// The temporary file may be deleted while open (FILE_SHARE_DELETE): the
// console's control handler removes it whatever the run is doing.
WrittenFile WrittenFile::createBeside(const fs::path& target, std::error_code& error) {
  error.clear();
  const fs::path folder = fs::path(systemPath(folderOf(target)));
  const std::wstring stem = temporaryStem(target.filename().native(), longestNameIn(folder));
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = folder / (stem + randomLettersAndDigits());
    rememberTemporary(candidate.native());
    const HANDLE file =
        ::CreateFileW(candidate.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      WrittenFile written;
      written.descriptor_ =
          ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
      written.temporaryPath_ = candidate;
      return written;
    }
    error = lastError();
    forgetTemporary(candidate.native());
    if (error != std::errc::file_exists) return {};
  }
  return {};
}

// By the name as given: the system's own reading of it finds the device
// ("\\?\C:\NUL" would be a file called NUL).
WrittenFile WrittenFile::openExisting(const fs::path& path, std::error_code& error) {
  error.clear();
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = lastError();
    return {};
  }
  WrittenFile written;
  written.descriptor_ = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
  return written;
}

WrittenFile WrittenFile::standardOutput() {
  WrittenFile file;
  file.descriptor_ = 1;
  file.ownsDescriptor_ = false;
  return file;
}

std::error_code WrittenFile::write(std::string_view bytes) {
  holdsBytes_ = holdsBytes_ || !bytes.empty();
  const HANDLE file = handleOf(descriptor_);
  while (!bytes.empty()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), piece, &written, nullptr)) return lastError();
    bytes.remove_prefix(written);
  }
  return {};
}

// The replaced file's attributes that say how to show or keep it (hidden,
// system, archive, not indexed). Its access rights are those the folder
// gives a new file, as for any file a program saves by a rename.
void WrittenFile::takeAttributesOf(const fs::path& target) {
  constexpr DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                         FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD attributes = attributesOf(target);
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
      (attributes & kept) == 0) {
    return;
  }
  FILE_BASIC_INFO basic{};  // times of zero are left as they are
  basic.FileAttributes = attributes & kept;
  ::SetFileInformationByHandle(handleOf(descriptor_), FileBasicInfo, &basic, sizeof basic);
}

// Windows has no way to start the writing without waiting for it; finish()
// writes each file through.
void WrittenFile::startWriteBack() {}

std::error_code WrittenFile::finish() {
  std::error_code error;
  if (!temporaryPath_.empty() && holdsBytes_ && !::FlushFileBuffers(handleOf(descriptor_))) {
    error = lastError();
  }
  if (ownsDescriptor_ && ::_close(descriptor_) != 0 && !error) error = lastError();
  descriptor_ = -1;
  return error;
}

// A rename, as on POSIX systems: the new file takes the directory entry's
// place, whatever stands there. A link (symbolic link or junction) is
// replaced, never followed, and a hard link is broken. (ReplaceFileW would
// keep more of the replaced file, but writes through a link where the
// system does not show it as one: Wine's view of a Unix link.)
std::error_code WrittenFile::replace(const fs::path& target) {
  const std::wstring& from = temporaryPath_.native();
  if (!::MoveFileExW(from.c_str(), systemPath(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return lastError();
  }
  forgetTemporary(from);
  temporaryPath_.clear();
  return {};
}

void WrittenFile::discard() {
  if (descriptor_ >= 0 && ownsDescriptor_) ::_close(descriptor_);
  descriptor_ = -1;
  if (!temporaryPath_.empty()) {
    ::DeleteFileW(temporaryPath_.c_str());
    forgetTemporary(temporaryPath_.native());
    temporaryPath_.clear();
  }
}

// A program started without a console (from the desktop, by a service) may
// have no standard streams: each missing one gets the null device. Output
// and error are put in binary mode: the C runtime would otherwise turn each
// "\n" the program writes into "\r\n", and the JSON or CSV on standard
// output would differ from the POSIX build's bytes.
bool openClosedStandardStreams() {
  for (int descriptor = 0; descriptor <= 2; ++descriptor) {
    if (::_get_osfhandle(descriptor) != -1 && ::_get_osfhandle(descriptor) != -2) continue;
    const int opened = ::_wopen(L"NUL", descriptor == 0 ? _O_RDONLY : _O_WRONLY);
    if (opened < 0 || (opened != descriptor && ::_dup2(opened, descriptor) != 0)) return false;
    if (opened != descriptor) ::_close(opened);
  }
  return ::_setmode(1, _O_BINARY) != -1 && ::_setmode(2, _O_BINARY) != -1;
}

// Ctrl+C, Ctrl+Break, the console window closed, the user logging off or
// the system shutting down: each reaches the handler.
void removeTemporaryFilesOnInterruption() {
  ::SetConsoleCtrlHandler(removeTemporariesAndEnd, TRUE);
}

std::optional<fs::path> usableTemporaryFolder() {
  std::wstring folder(MAX_PATH + 1, L'\0');
  const DWORD length = ::GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
  if (length == 0 || length > folder.size()) return std::nullopt;
  folder.resize(length);
  const DWORD attributes = ::GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return std::nullopt;
  }
  return fs::path(folder);
}

// The user's own folders (the temporary folder under the profile) are
// private by their access rights, which a folder made in them inherits: a
// folder that is not a link is taken as private.
bool isPrivateFolder(const fs::path& folder) {
  const DWORD attributes = attributesOf(folder);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

std::optional<fs::path> privateFolderIn(const fs::path& base, std::string_view prefix) {
  std::wstring user(256 + 1, L'\0');
  DWORD length = static_cast<DWORD>(user.size());
  if (!::GetUserNameW(user.data(), &length)) return std::nullopt;
  user.resize(length - 1);
  const fs::path folder = base / (fs::path(std::string(prefix)).native() + L"-" + user);
  ::CreateDirectoryW(systemPath(folder).c_str(), nullptr);
  if (!isPrivateFolder(folder)) return std::nullopt;
  return folder;
}

}  // namespace propclear::os
