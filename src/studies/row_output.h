#pragma once
// Where the rows of a study go: standard output for "-", otherwise a file.
// A file is written beside its target and put in place when complete, so that
// a study that fails leaves an earlier file as it was; a target that is not a
// regular file (a device such as /dev/null, a pipe) is written in place.

#include <memory>
#include <string>
#include <string_view>

#include "common/output_file.h"

namespace propclear {

class RowOutput {
 public:
  // Opens the target at once, so that a target that cannot be written fails
  // before any design is computed.
  explicit RowOutput(const std::string& target);

  void write(std::string_view text);
  // Flushes standard output, or puts the file in place.
  void finish();

 private:
  std::unique_ptr<OutputFile> file_;  // none: standard output
};

}  // namespace propclear
