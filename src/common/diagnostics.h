#pragma once
// Warnings of a run: results that were computed but that a designer must not
// take for real ones without being told (a hull query outside the contour, a
// root search that gave up, ...). They go to standard error; files stay as
// the established formats define them.

#include <string>
#include <vector>

namespace propclear {

struct Diagnostics {
  std::vector<std::string> warnings;

  void warn(std::string text) { warnings.push_back(std::move(text)); }
};

}  // namespace propclear
