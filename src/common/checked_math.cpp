#include "common/checked_math.h"

#include <string>

namespace propclear {

void throwArithmeticFault(const char* what, const char* reason) {
  throw RunError(ErrorKind::Arithmetic,
                 std::string("arithmetic fault: cannot compute ") + what + ": " + reason);
}

}  // namespace propclear
