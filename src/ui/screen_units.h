#pragma once
// Screen measures of the desktop front end. Positions and sizes are given in
// twips (1/1440 inch); the window's design is laid out at 15 twips per pixel.

#include <QSize>

#include "plot/plot_size.h"

namespace propclear {

// The window's drawing area as designed; also the size of an exported plot.
inline constexpr QSize designDrawingArea{designPlotSize.width, designPlotSize.height};

}  // namespace propclear
