#include "studies/progress_line.h"

#include <ostream>

#include "common/terminal.h"

namespace propclear {

namespace {

constexpr std::chrono::seconds quietTime{1};
constexpr std::chrono::milliseconds redrawInterval{200};

}  // namespace

ProgressLine::ProgressLine(std::ostream& out, std::uint64_t total, std::string what)
    : out_(out), total_(total), what_(std::move(what)), terminal_(standardErrorIsTerminal()) {}

ProgressLine::~ProgressLine() {
  // Blanks out the line so that the study's own messages start clean.
  if (shown_) out_ << "\r\033[K" << std::flush;
}

void ProgressLine::update(std::uint64_t done) {
  if (!terminal_) return;
  const Clock::time_point now = Clock::now();
  if (now - start_ < quietTime || now - lastShown_ < redrawInterval) return;
  lastShown_ = now;
  shown_ = true;
  const std::uint64_t percent = total_ == 0 ? 100 : done * 100 / total_;
  out_ << "\rpropclear: " << done << " of " << total_ << ' ' << what_ << " (" << percent << " %)"
       << std::flush;
}

}  // namespace propclear
