#pragma once
// The group pairs of an ASCII DXF file: a line with an integer group code,
// then a line with its value. Lines end with LF or CR LF; blanks around a
// code are ignored, as CAD programs write codes right-aligned.

#include <string>
#include <string_view>

#include "common/run_error.h"

namespace propclear {

struct DxfGroup {
  int code = 0;
  std::string_view value;  // the value line, trailing blanks removed
  long line = 0;           // the line of the group code, from 1
};

class DxfGroupReader {
 public:
  // `displayName` names the file in messages. A binary DXF is refused with
  // RunError(ErrorKind::Input) at once.
  DxfGroupReader(std::string_view text, std::string displayName);

  // The next group, or false at the end of the text. A code line that is no
  // integer, or a code without its value line, throws RunError(ErrorKind::Input)
  // naming the line.
  bool next(DxfGroup& group);

  // The value of `group` as a finite number, or RunError(ErrorKind::Input)
  // naming the line, `what` and the value.
  double number(const DxfGroup& group, std::string_view what) const;
  // The value of `group` as an integer, or RunError(ErrorKind::Input).
  long integer(const DxfGroup& group, std::string_view what) const;

  [[noreturn]] void fail(long line, const std::string& message) const;
  const std::string& displayName() const { return displayName_; }
  // The line after the last group read.
  long lineNumber() const { return line_ + 1; }

 private:
  bool nextLine(std::string_view& line);

  std::string_view text_;
  std::string displayName_;
  std::size_t position_ = 0;
  long line_ = 0;  // lines taken so far
};

}  // namespace propclear
