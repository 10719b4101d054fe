#include "common/terminal.h"

#include <unistd.h>

namespace propclear {

bool standardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace propclear
