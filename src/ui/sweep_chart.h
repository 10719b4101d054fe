#pragma once
// The plot of a sweep, drawn with Qt Charts and saved as an image. This
// header is free of Qt: the studies hand over plain values and get a plain
// function back.

#include "studies/sweep_plot.h"

namespace propclear {

// The function that saves the plot of a sweep (PNG, SVG or PDF by the file's
// extension); empty in a build without Qt Charts.
SaveSweepPlot sweepPlotSaver();

}  // namespace propclear
