#pragma once
// View > Underlay...: any DXF drawing shown faintly with the stern at true
// scale, to trace it or to check a design against it. The drawing lies over
// the stern view as a layer of its own that lets every mouse event through,
// follows the view's zoom and pan, and is drawn in a light, thin grey so
// that the stern stays readable.

#include <QMenu>

#include "dxf/dxf_drawing.h"
#include "import/drawing_frame.h"

namespace propclear {

class SternView;

// Adds "Underlay..." (asking for the drawing, its unit and origin) and
// "Remove underlay" to `menu`, for `view`.
void addUnderlayActions(QMenu* menu, SternView& view);

// Shows `drawing`, placed by `frame`, under the stern of `view`, in place of
// the one shown before.
void showUnderlay(SternView& view, const DxfDrawing& drawing, const DrawingFrame& frame);

}  // namespace propclear
