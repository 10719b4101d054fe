#pragma once
// Places the DXF drawing's texts so that no two overlap: each text offers
// places in order of preference, and takes the first whose box is free of
// every text placed before it; when all are taken it moves away from its
// subject in steps of a line until it finds room.

#include <string_view>
#include <vector>

#include "sheet/drawing_box.h"
#include "geometry/drawing_point.h"

namespace propclear {

class LabelLayout {
 public:
  explicit LabelLayout(double textHeightMetres) : height_(textHeightMetres) {}

  double textHeight() const { return height_; }

  // The start (baseline, left) of a text at a fixed place, such as the title:
  // `preferred` when free, else the nearest free place above or below it.
  DrawingPoint placeAt(std::string_view text, DrawingPoint preferred);
  // A label beside a horizontal segment at height z from x1 to x2: above its
  // middle, below it, beyond its right end, beyond its left end.
  DrawingPoint besideHorizontal(std::string_view text, double x1, double x2, double z);
  // A label beside a vertical segment at x from z1 to z2: right of its
  // middle, left of it, above its top end, below its bottom end.
  DrawingPoint besideVertical(std::string_view text, double x, double z1, double z2);

 private:
  // The first free candidate, else the first candidate moved up or down by
  // whole line steps until free; its box is then taken.
  DrawingPoint place(std::string_view text, const std::vector<DrawingPoint>& candidates);
  bool isFree(const DrawingBox& box) const;

  double height_;
  std::vector<DrawingBox> taken_;
};

}  // namespace propclear
