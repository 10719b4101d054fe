#pragma once
// An axis-aligned box of the side view in metres, and the box a one-line text
// takes: what the drawings use to keep texts apart and to frame everything
// drawn.

#include <string_view>

#include "geometry/drawing_point.h"

namespace propclear {

struct DrawingBox {
  double left = 0.0;
  double bottom = 0.0;
  double right = 0.0;
  double top = 0.0;
  bool empty = true;

  // Grows the box to hold `point` (or `other`).
  void include(DrawingPoint point);
  void include(const DrawingBox& other);
  // Whether the two boxes share more than an edge.
  bool overlaps(const DrawingBox& other) const;
};

// The box of `text` on one line, starting at `start` on its baseline, for a
// text height (cap height) of `height` metres: every character as wide as
// the text is high, which is at least what a CAD font takes, with room for
// descenders below the baseline.
DrawingBox textBox(DrawingPoint start, std::string_view text, double height);

}  // namespace propclear
