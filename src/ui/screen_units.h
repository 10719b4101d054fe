#pragma once
// Screen measures of the desktop front end. Positions and sizes are given in
// twips (1/1440 inch); the window's design is laid out at 15 twips per pixel.

#include <QSize>

namespace propclear {

inline constexpr int twipsPerPixel = 15;
inline constexpr int twipsPerPoint = 20;

// The window's drawing area as designed, 10740 x 7080 twips; also the size of
// an exported plot.
inline constexpr QSize designDrawingArea{10740 / twipsPerPixel, 7080 / twipsPerPixel};
static_assert(designDrawingArea.width() == 716 && designDrawingArea.height() == 472);

}  // namespace propclear
