#include "common/loadable_module.h"

#include <dlfcn.h>

#include <system_error>

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

[[noreturn]] void failToLoad(const std::filesystem::path& path, const std::string& role) {
  throw RunError(ErrorKind::Installation, "cannot load " + role + ": " + loaderMessage(path),
                 ErrorLocation{path.string()});
}

}  // namespace

std::filesystem::path runningProgramPath() {
  std::error_code error;
  std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) {
    throw RunError(ErrorKind::Installation,
                   "cannot find the running program's own file: " + error.message(),
                   ErrorLocation{"/proc/self/exe"});
  }
  return path;
}

void* loadModuleSymbol(const std::filesystem::path& path, const std::string& name,
                       const std::string& role) {
  // Lazy binding for the libraries it brings along, as for those the program
  // links: binding all of their symbols up front would cost the start-up
  // more. The module's own symbols are bound at once when it is linked with
  // -z now, so that one missing from the program is an error here.
  void* module = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (module == nullptr) failToLoad(path, role);
  void* symbol = ::dlsym(module, name.c_str());
  if (symbol == nullptr) failToLoad(path, role);
  return symbol;
}

}  // namespace propclear
