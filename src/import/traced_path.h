#pragma once
// An entity of the drawing as the points of a line in the design frame:
// lines and polylines by their vertices, arcs (and polyline bulges) and
// splines sampled finely enough that the chords stay well within the
// tolerance of the tracing.

#include <vector>

#include "dxf/dxf_drawing.h"
#include "import/drawing_frame.h"

namespace propclear {

struct TracedPath {
  std::vector<FramePoint> points;
  const DxfEntity* source = nullptr;
  bool closed = false;  // the last point joins the first
};

// No design lies this far from its origin; a point beyond is a fault of the
// drawing or of its units.
inline constexpr double maxFrameCoordinate = 10000.0;  // m

// The path of a line, arc, circle, polyline or spline of `frame`'s drawing,
// with chords deviating less than `chordTolerance` (m) from arcs. A point
// beyond maxFrameCoordinate, a spline without a consistent set of knots,
// control points and weights, or one sampled into too many points throws
// RunError(ErrorKind::Input) naming the entity.
TracedPath tracePath(const DxfEntity& entity, const DrawingFrame& frame, double chordTolerance,
                     const std::string& displayName);

}  // namespace propclear
