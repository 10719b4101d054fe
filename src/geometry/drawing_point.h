#pragma once
// A point and a straight line of the side view, in metres: x horizontal
// (aft perpendicular at 0), z up (base line at 0).

namespace propclear {

struct DrawingPoint {
  double x = 0.0;
  double z = 0.0;
};

struct DrawingLine {
  DrawingPoint from;
  DrawingPoint to;
};

}  // namespace propclear
