// A build without Qt Charts saves no plot of a sweep.

#include "ui/sweep_chart.h"

namespace propclear {

SaveSweepPlot sweepPlotSaver() { return {}; }

}  // namespace propclear
