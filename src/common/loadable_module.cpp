#include "common/loadable_module.h"

#include <dlfcn.h>
#include <elf.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

#include "common/operating_system.h"
#include "common/run_error.h"

namespace propclear {

namespace {

// The loader's message, without the path it often starts with: the error
// names the path already.
std::string loaderMessage(const std::filesystem::path& path) {
  const char* raw = ::dlerror();
  std::string message = raw != nullptr ? raw : "unknown error";
  const std::string prefix = path.string() + ": ";
  if (message.starts_with(prefix)) message.erase(0, prefix.size());
  return message;
}

[[noreturn]] void refuseToLoad(const std::filesystem::path& path, const std::string& role,
                               const std::string& reason) {
  throw RunError(ErrorKind::Installation, "cannot load " + role + ": " + reason,
                 ErrorLocation{path.string()});
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The whole file, read as any other input: a FIFO or a device in the
// module's place is refused instead of hanging or feeding the loader.
std::vector<unsigned char> moduleBytes(const std::filesystem::path& path, const std::string& role) {
  const os::FileForReading opened = os::openRegularFileForReading(path);
  if (opened.refusal != nullptr) refuseToLoad(path, role, opened.refusal);
  if (opened.error) refuseToLoad(path, role, opened.error.message());
  const std::unique_ptr<std::FILE, FileCloser> file(opened.stream);
  std::vector<unsigned char> bytes;
  unsigned char buffer[64 * 1024];
  std::size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    bytes.insert(bytes.end(), buffer, buffer + count);
  }
  if (std::ferror(file.get())) refuseToLoad(path, role, "it cannot be read");
  return bytes;
}

bool fits(std::uint64_t offset, std::uint64_t size, std::size_t fileSize) {
  return offset <= fileSize && size <= fileSize - offset;
}

// Why the 64-bit ELF shared object `bytes` is not whole: the loader maps
// its segments from the file, and a part that lies beyond the file's end
// faults (SIGBUS) on first use instead of failing to load. Other faults are
// left to the loader, which reports them.
std::optional<std::string> truncationOf(const std::vector<unsigned char>& bytes) {
  Elf64_Ehdr header{};
  if (bytes.size() < sizeof header || std::memcmp(bytes.data(), ELFMAG, SELFMAG) != 0 ||
      bytes[EI_CLASS] != ELFCLASS64) {
    return std::nullopt;
  }
  std::memcpy(&header, bytes.data(), sizeof header);
  const std::uint64_t headersSize = std::uint64_t{header.e_phnum} * header.e_phentsize;
  if (header.e_phentsize < sizeof(Elf64_Phdr) || !fits(header.e_phoff, headersSize, bytes.size())) {
    return "it is cut short: its program headers lie beyond its end";
  }
  for (std::uint16_t index = 0; index < header.e_phnum; ++index) {
    Elf64_Phdr segment{};
    std::memcpy(&segment, bytes.data() + header.e_phoff + std::uint64_t{index} * header.e_phentsize,
                sizeof segment);
    if (segment.p_type == PT_LOAD && !fits(segment.p_offset, segment.p_filesz, bytes.size())) {
      return "it is cut short: " + std::to_string(bytes.size()) + " bytes, a segment ends at byte " +
             std::to_string(segment.p_offset + segment.p_filesz);
    }
  }
  return std::nullopt;
}

// A module runs with the user's rights: it must be whole, a plain file,
// and somewhere no other user can change.
void requireLoadableModule(const std::filesystem::path& path, const std::string& role) {
  const std::vector<unsigned char> bytes = moduleBytes(path, role);
  if (const std::optional<std::filesystem::path> unsafe = os::changeableByOthers(path)) {
    refuseToLoad(path, role,
                 unsafe->string() + " may be changed by other users (it is theirs, or writable by "
                                    "its group or everyone)");
  }
  if (const std::optional<std::string> truncated = truncationOf(bytes)) {
    refuseToLoad(path, role, *truncated);
  }
}

}  // namespace

std::filesystem::path runningProgramPath() {
  std::error_code error;
  std::filesystem::path path = os::runningProgramPath(error);
  if (error) {
    throw RunError(ErrorKind::Installation,
                   "cannot find the running program's own file: " + error.message(),
                   ErrorLocation{"/proc/self/exe"});
  }
  return path;
}

void* loadModuleSymbol(const std::filesystem::path& path, const std::string& name,
                       const std::string& role) {
  requireLoadableModule(path, role);
  // Lazy binding for the libraries it brings along, as for those the program
  // links: binding all of their symbols up front would cost the start-up
  // more. The module's own symbols are bound at once when it is linked with
  // -z now, so that one missing from the program is an error here.
  void* module = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (module == nullptr) refuseToLoad(path, role, loaderMessage(path));
  void* symbol = ::dlsym(module, name.c_str());
  if (symbol == nullptr) refuseToLoad(path, role, loaderMessage(path));
  return symbol;
}

}  // namespace propclear
