#include "cad/dxf_label_layout.h"

namespace propclear {

namespace {

// Between a text and the line it names, and between lines of text, in text heights.
constexpr double clearance = 0.4;
constexpr double lineStep = 1.6;
// Enough steps to pass any pile of texts a drawing holds.
constexpr int maxLineSteps = 1000;

}  // namespace

bool LabelLayout::isFree(const DrawingBox& box) const {
  for (const DrawingBox& other : taken_) {
    if (box.overlaps(other)) return false;
  }
  return true;
}

DrawingPoint LabelLayout::place(std::string_view text, const std::vector<DrawingPoint>& candidates) {
  DrawingPoint chosen = candidates.front();
  bool found = false;
  for (const DrawingPoint& candidate : candidates) {
    if (isFree(textBox(candidate, text, height_))) {
      chosen = candidate;
      found = true;
      break;
    }
  }
  for (int step = 1; !found && step <= maxLineSteps; ++step) {
    for (const double direction : {1.0, -1.0}) {
      const DrawingPoint moved{chosen.x, chosen.z + direction * step * lineStep * height_};
      if (isFree(textBox(moved, text, height_))) {
        chosen = moved;
        found = true;
        break;
      }
    }
  }
  taken_.push_back(textBox(chosen, text, height_));
  return chosen;
}

DrawingPoint LabelLayout::placeAt(std::string_view text, DrawingPoint preferred) {
  return place(text, {preferred});
}

DrawingPoint LabelLayout::besideHorizontal(std::string_view text, double x1, double x2, double z) {
  const double width = static_cast<double>(text.size()) * height_;
  const double left = x1 < x2 ? x1 : x2, right = x1 < x2 ? x2 : x1;
  const double middle = 0.5 * (left + right);
  const double gap = clearance * height_;
  return place(text, {{middle - 0.5 * width, z + gap},
                      {middle - 0.5 * width, z - gap - height_},
                      {right + gap, z - 0.5 * height_},
                      {left - gap - width, z - 0.5 * height_}});
}

DrawingPoint LabelLayout::besideVertical(std::string_view text, double x, double z1, double z2) {
  const double width = static_cast<double>(text.size()) * height_;
  const double low = z1 < z2 ? z1 : z2, high = z1 < z2 ? z2 : z1;
  const double middle = 0.5 * (low + high);
  const double gap = clearance * height_;
  return place(text, {{x + gap, middle - 0.5 * height_},
                      {x - gap - width, middle - 0.5 * height_},
                      {x - 0.5 * width, high + gap},
                      {x - 0.5 * width, low - gap - height_}});
}

}  // namespace propclear
