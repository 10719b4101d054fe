#pragma once
// A DXF drawing's lines in the design frame, in metres, for showing it under
// the stern: every line, arc, circle, polyline and spline, points as small
// crosses. Entities that cannot be traced are left out.

#include <QPainterPath>

#include "dxf/dxf_drawing.h"
#include "import/drawing_frame.h"

namespace propclear {

QPainterPath drawingLines(const DxfDrawing& drawing, const DrawingFrame& frame);

}  // namespace propclear
