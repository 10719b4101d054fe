#include "ui/studio/drawing_lines.h"

#include "common/run_error.h"
#include "import/traced_path.h"

namespace propclear {

namespace {

// Fine enough for any zoom a stern is looked at with.
constexpr double chordTolerance = 0.0005;  // m
constexpr double pointCrossMetres = 0.02;

}  // namespace

QPainterPath drawingLines(const DxfDrawing& drawing, const DrawingFrame& frame) {
  QPainterPath lines;
  for (const DxfEntity& entity : drawing.entities) {
    if (entity.shape == DxfShape::Point) {
      const FramePoint p = toFrame(frame, entity.centre);
      lines.moveTo(p.x - pointCrossMetres, p.z);
      lines.lineTo(p.x + pointCrossMetres, p.z);
      lines.moveTo(p.x, p.z - pointCrossMetres);
      lines.lineTo(p.x, p.z + pointCrossMetres);
      continue;
    }
    try {
      const TracedPath path = tracePath(entity, frame, chordTolerance, "underlay");
      if (path.points.size() < 2) continue;
      lines.moveTo(path.points.front().x, path.points.front().z);
      for (const FramePoint& p : path.points) lines.lineTo(p.x, p.z);
      if (path.closed) lines.closeSubpath();
    } catch (const RunError&) {
      // An entity the drawing holds wrongly is not shown; the rest is.
    }
  }
  return lines;
}

}  // namespace propclear
