#pragma once
// The progress of a long study on standard error: shown only when the study
// has run for more than a second and standard error is a terminal, as one
// line that rewrites itself and is cleared at the end.

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace propclear {

class ProgressLine {
 public:
  // `what` names the items: "designs", "files".
  ProgressLine(std::ostream& out, std::uint64_t total, std::string what);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void update(std::uint64_t done);

 private:
  using Clock = std::chrono::steady_clock;

  std::ostream& out_;
  std::uint64_t total_;
  std::string what_;
  bool terminal_;
  bool shown_ = false;
  Clock::time_point start_ = Clock::now();
  Clock::time_point lastShown_{};
};

}  // namespace propclear
