#pragma once

namespace propclear {

// A point of the side view in metres: x horizontal, z up.
struct DrawingPoint {
  double x = 0.0;
  double z = 0.0;
};

}  // namespace propclear
