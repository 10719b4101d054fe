#pragma once
// Builds design files line by line for the reader's tests: the 29 header and
// value lines of the layout, filled with a plausible stern, then the contour
// lines and whatever follows them.

#include <filesystem>
#include <string>
#include <vector>

namespace propclear::test {

class DesignFileBuilder {
 public:
  DesignFileBuilder();

  // Layout line 1..29 (captions and value lines).
  DesignFileBuilder& line(int layoutLine, std::string text);
  // The contour block, terminator included when the test wants one.
  DesignFileBuilder& contour(std::vector<std::string> lines);
  // n ordinary points with rising heights, then the terminator line.
  DesignFileBuilder& risingContour(int pointCount);
  // Text after the contour block, written as it stands.
  DesignFileBuilder& tail(std::string text);
  DesignFileBuilder& lineEnd(std::string ending);

  std::string text() const;
  // Writes text() to `path` and returns `path`.
  std::filesystem::path writeTo(const std::filesystem::path& path) const;

 private:
  std::vector<std::string> layout_;  // index 0 unused
  std::vector<std::string> contour_;
  std::string tail_;
  std::string lineEnd_ = "\r\n";
};

}  // namespace propclear::test
