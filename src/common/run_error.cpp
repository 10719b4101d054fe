#include "common/run_error.h"

#include "common/terminal_text.h"

namespace propclear {

std::string formatErrorMessage(const ErrorLocation& where, const std::string& message) {
  std::string text;
  if (!where.file.empty()) {
    text += withControlsEscaped(where.file);
    if (where.line > 0) {
      text += ':' + std::to_string(where.line);
      if (where.column > 0) text += ':' + std::to_string(where.column);
    }
    text += ": ";
  }
  return text + withControlsEscaped(message);
}

RunError::RunError(ErrorKind kind, const std::string& message, ErrorLocation where)
    : std::runtime_error(formatErrorMessage(where, message)),
      kind_(kind),
      where_(std::move(where)),
      detail_(withControlsEscaped(message)) {}

}  // namespace propclear
