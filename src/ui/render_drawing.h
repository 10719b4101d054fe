#pragma once
// Replays the recorded drawing onto a painter. The window, the exported PNG,
// SVG and PDF all come from this one function, so they cannot differ.

#include <QColor>
#include <QPainter>
#include <QSize>
#include <QTransform>
#include <optional>
#include <vector>

#include "plot/drawing_surface.h"

namespace propclear {

// Colour `index` of the conventional 16-colour palette (0..15) or of the
// print palette after it.
QColor paletteColour(int index);

// Draws `commands` into the rectangle (0, 0) to `area` of the painter's device,
// in device pixels, on white: the user scale's rectangle at one scale in x
// and z (true scale), as large as the area allows and centred in it; the
// rest of the area stays background. Line widths and font sizes are
// multiplied by `detailScale`, so that a large export is as crisp as the
// window. With `separateLabels`, each text moves down by whole lines until it
// overprints no text drawn before it.
void renderDrawing(const std::vector<DrawCommand>& commands, QPainter& painter, QSize area,
                   double detailScale = 1.0, bool separateLabels = false);

// A view of the drawing of its own (the studio's zoom and pan): user units
// mapped to device pixels by `userToPixels` in place of the drawing's user
// scale, and, with `separateLabels`, each text moved down by whole lines until
// it overprints no text drawn before it.
struct DrawingView {
  QTransform userToPixels;
  bool separateLabels = false;
};
void renderDrawing(const std::vector<DrawCommand>& commands, QPainter& painter, QSize area,
                   const DrawingView& view);

// The mapping of the user rectangle (left, top) to (right, bottom) into an
// area of `area` pixels at one scale in x and z, centred; none for a
// rectangle without extent.
std::optional<QTransform> fittedUserScale(double left, double top, double right, double bottom,
                                          QSize area);

}  // namespace propclear
