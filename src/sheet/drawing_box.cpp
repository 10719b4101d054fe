#include "sheet/drawing_box.h"

#include <algorithm>

namespace propclear {

namespace {

// Below the baseline, a fraction of the text height, for descenders.
constexpr double descent = 0.3;

}  // namespace

void DrawingBox::include(DrawingPoint point) {
  if (empty) {
    *this = {point.x, point.z, point.x, point.z, false};
    return;
  }
  left = std::min(left, point.x);
  right = std::max(right, point.x);
  bottom = std::min(bottom, point.z);
  top = std::max(top, point.z);
}

void DrawingBox::include(const DrawingBox& other) {
  if (other.empty) return;
  include(DrawingPoint{other.left, other.bottom});
  include(DrawingPoint{other.right, other.top});
}

bool DrawingBox::overlaps(const DrawingBox& other) const {
  if (empty || other.empty) return false;
  return left < other.right && other.left < right && bottom < other.top && other.bottom < top;
}

DrawingBox textBox(DrawingPoint start, std::string_view text, double height) {
  const double width = static_cast<double>(text.size()) * height;
  return {start.x, start.z - descent * height, start.x + width, start.z + height, false};
}

}  // namespace propclear
