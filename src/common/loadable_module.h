#pragma once
// Parts of the program that are loaded while it runs (the desktop front end),
// and the path of the running program they are found from. The only place
// that calls the system's dynamic loader.

#include <filesystem>
#include <string>

namespace propclear {

// The running program's own file, with symbolic links resolved. Throws
// RunError(ErrorKind::Installation) when the system cannot tell.
std::filesystem::path runningProgramPath();

// Loads the shared object at `path` and returns the address of its symbol
// `name`. It is loaded only when it is a regular file (a FIFO or a device is
// refused, not waited for), whole (a shared object cut short is refused
// rather than faulting once mapped), and neither it nor a folder above it
// may be changed by another user (see os::changeableByOthers). Symbols are bound lazily unless the object asks for binding at
// load time (linked with -z now). The object is never unloaded:
// what it creates may live until the process ends. Throws
// RunError(ErrorKind::Installation) naming the path, what the object is
// (`role`, as in "cannot load the desktop module") and the reason or the
// loader's message.
void* loadModuleSymbol(const std::filesystem::path& path, const std::string& name,
                       const std::string& role);

}  // namespace propclear
