#include "design_file_builder.h"

#include <stdexcept>

#include "support/test_support.h"

namespace propclear::test {

namespace {

constexpr int headerAndValueLineCount = 29;

}  // namespace

DesignFileBuilder::DesignFileBuilder() : layout_(headerAndValueLineCount + 1) {
  for (int i = 1; i <= headerAndValueLineCount; ++i) layout_[i] = "caption " + std::to_string(i);
  layout_[13] = "4.0, 2.8";
  layout_[15] = "9.0";
  layout_[17] = "4.6, 0.85";
  layout_[20] = "0.8, 0.55, 10";
  layout_[24] = "9.1, 0.6";
  layout_[25] = "8.9, 6.0";
  layout_[26] = "6.25, 6.0";
  layout_[27] = "6.15, 0.6";
  contour_ = {"0.3, 1.8, 1", "2.8, 2.9, 1", "6.0, 4.4, 1", "0, 0, 99"};
}

DesignFileBuilder& DesignFileBuilder::line(int layoutLine, std::string text) {
  if (layoutLine < 1 || layoutLine > headerAndValueLineCount) {
    throw std::out_of_range("layout line " + std::to_string(layoutLine));
  }
  layout_[layoutLine] = std::move(text);
  return *this;
}

DesignFileBuilder& DesignFileBuilder::contour(std::vector<std::string> lines) {
  contour_ = std::move(lines);
  return *this;
}

DesignFileBuilder& DesignFileBuilder::risingContour(int pointCount) {
  contour_.clear();
  for (int k = 1; k <= pointCount; ++k) {
    contour_.push_back(std::to_string(k) + ".5, " + std::to_string(k % 7) + ", 1");
  }
  contour_.push_back("0, 0, 99");
  return *this;
}

DesignFileBuilder& DesignFileBuilder::tail(std::string text) {
  tail_ = std::move(text);
  return *this;
}

DesignFileBuilder& DesignFileBuilder::lineEnd(std::string ending) {
  lineEnd_ = std::move(ending);
  return *this;
}

std::string DesignFileBuilder::text() const {
  std::string content;
  for (int i = 1; i <= headerAndValueLineCount; ++i) content += layout_[i] + lineEnd_;
  for (const std::string& contourLine : contour_) content += contourLine + lineEnd_;
  return content + tail_;
}

std::filesystem::path DesignFileBuilder::writeTo(const std::filesystem::path& path) const {
  writeFile(path, text());
  return path;
}

}  // namespace propclear::test
