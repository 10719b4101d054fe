// A front end built without Qt Charts draws no plot of a sweep.

#include "ui/sweep_chart.h"

namespace propclear {

SaveSweepPlotFunction sweepPlotSaver() { return nullptr; }

}  // namespace propclear
