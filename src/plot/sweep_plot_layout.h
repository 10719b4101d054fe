#pragma once
// Where each part of a sweep plot goes on the image: the title, the
// headline, the legend, and the panels with their plot areas. The front end
// draws into these boxes, so what the layout holds is what the picture
// shows, and the headline can be read back from here.

#include <string>
#include <vector>

#include "plot/sweep_plot.h"

namespace propclear {

// The image size without --plot-size, in pixels (PNG) or points (SVG, PDF).
inline constexpr PlotSize defaultSweepPlotSize{1200, 760};

struct LayoutBox {
  double left = 0.0;
  double top = 0.0;
  double width = 0.0;
  double height = 0.0;
};

struct SweepPlotLayout {
  PlotSize size;
  double textPixels = 0.0;      // axis labels, captions, legend
  double headlinePixels = 0.0;  // the headline, larger
  LayoutBox titleBox;
  std::string title;
  LayoutBox headlineBox;
  std::string headline;
  LayoutBox legendBox;
  // One per panel (one parameter: the clearances in the plot's order, the
  // upper blade's in the left column, the lower blade's in the right; two
  // parameters: the map): the panel's box, its caption, its plot area.
  std::vector<LayoutBox> panelBoxes;
  std::vector<std::string> captions;
  std::vector<LayoutBox> plotAreas;
  std::vector<bool> showsXLabels;  // only the bottom panel of each column
  std::vector<LayoutBox> xTitleBoxes;  // under each column's bottom panel
};

SweepPlotLayout layoutSweepPlot(const SweepPlot& plot);

}  // namespace propclear
