#pragma once
// The one error type of a run. Whatever stops a run early (malformed input,
// a file that cannot be read or written, an arithmetic fault) is thrown as a
// RunError; the run driver turns it into the error ending, with its message
// on standard error and, when a window is up, in a message box.

#include <stdexcept>
#include <string>

namespace propclear {

enum class ErrorKind {
  Input,       // the design file is missing, unreadable or malformed
  FileSystem,  // an output file cannot be created, written or closed
  Arithmetic,  // division by zero, overflow or a non-finite result
  Usage,       // a bad command line
  Installation,  // a part of the program itself is missing or cannot be loaded
};

// Where an error was found. An empty file name means "no particular file";
// line and column are 1-based, 0 when they do not apply.
struct ErrorLocation {
  std::string file;
  long line = 0;
  long column = 0;
};

class RunError : public std::runtime_error {
 public:
  RunError(ErrorKind kind, const std::string& message, ErrorLocation where = {});

  ErrorKind kind() const { return kind_; }
  const ErrorLocation& where() const { return where_; }
  // The message without its location prefix.
  const std::string& detail() const { return detail_; }

 private:
  ErrorKind kind_;
  ErrorLocation where_;
  std::string detail_;
};

// "file:line:column: message", leaving out the parts that are not known,
// control characters of the file name and the message escaped (a message
// quotes what the user wrote, and goes to a terminal).
std::string formatErrorMessage(const ErrorLocation& where, const std::string& message);

}  // namespace propclear
