#pragma once
// The rudder traced from the drawing: one closed outline of four corners (a
// closed polyline, or lines and open polylines joined end to end), its
// corners numbered as the design file has them: 1 lower aft, 2 upper aft,
// 3 upper forward, 4 lower forward, the edge from 3 to 4 facing the
// propeller.

#include <array>
#include <string>
#include <vector>

#include "dxf/dxf_drawing.h"
#include "import/drawing_frame.h"

namespace propclear {

struct TracedRudder {
  std::array<FramePoint, 4> corners;  // corners 1 to 4
  std::vector<const DxfEntity*> entities;
};

// A vertex where the outline turns less than this is no corner.
inline constexpr double straightTurnDegrees = 1.0;

// The rudder of `entities`, its forward edge the one nearer to the propeller
// centre's x. No closed outline, two outlines, or an outline that has not
// four corners throws RunError(ErrorKind::Input) naming the entities.
TracedRudder traceRudder(const std::vector<const DxfEntity*>& entities, const DrawingFrame& frame,
                         double tolerance, double propellerCentreX, const std::string& displayName);

}  // namespace propclear
