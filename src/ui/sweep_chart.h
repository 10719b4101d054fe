#pragma once
// The plot of a sweep, drawn with Qt Charts and saved as an image: the
// desktop front end's entry for it. This header is free of Qt: the studies
// hand over plain values.

#include <filesystem>

#include "plot/sweep_plot.h"

namespace propclear {

using SaveSweepPlotFunction = void (*)(const SweepPlot& plot, const std::filesystem::path& path);

// The function that saves the plot of a sweep (PNG, SVG or PDF by the file's
// extension; a RunError names the file), or null in a front end built
// without Qt Charts.
SaveSweepPlotFunction sweepPlotSaver();

}  // namespace propclear
