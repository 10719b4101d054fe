#include "plot/sweep_plot_layout.h"

#include <algorithm>

#include "common/checked_math.h"

namespace propclear {

namespace {

// Sizes at the default image, in pixels; a larger or smaller image scales
// them with its smaller side ratio, so that text stays in proportion.
constexpr double margin = 14.0;
constexpr double textSize = 15.0;
constexpr double headlineSize = 21.0;
constexpr double titleHeight = 24.0;
constexpr double headlineHeight = 34.0;
constexpr double legendHeight = 26.0;
constexpr double panelColumnGap = 28.0;
constexpr double captionHeight = 22.0;
constexpr double yLabelsWidth = 78.0;    // tick labels and the y title
constexpr double xLabelsHeight = 24.0;   // tick labels below a plot area
constexpr double xTitleHeight = 26.0;    // the x title below the bottom panels
constexpr double colourBarWidth = 150.0;  // the map's colour bar and its title
constexpr double plotRightPad = 12.0;
// Panels of one parameter: three rows (a, b, c above a', b', c').
constexpr int panelRows = 3;
constexpr int panelColumns = 2;

double scaleOf(const PlotSize& size) {
  return std::min(checkedDivide(size.width, defaultSweepPlotSize.width, "the plot's scale"),
                  checkedDivide(size.height, defaultSweepPlotSize.height, "the plot's scale"));
}

LayoutBox plotAreaIn(const LayoutBox& panel, double scale, double right, bool xLabels) {
  const double top = panel.top + captionHeight * scale;
  const double bottom = panel.top + panel.height - (xLabels ? xLabelsHeight * scale : 4.0 * scale);
  const double left = panel.left + yLabelsWidth * scale;
  return {left, top, std::max(1.0, panel.left + panel.width - right * scale - left),
          std::max(1.0, bottom - top)};
}

LayoutBox xTitleBoxUnder(const LayoutBox& plotArea, const LayoutBox& panel, double scale) {
  return {plotArea.left, panel.top + panel.height, plotArea.width, xTitleHeight * scale};
}

void layOutPanels(const SweepPlot& plot, double scale, const LayoutBox& area,
                  SweepPlotLayout& layout) {
  const double columnWidth = (area.width - panelColumnGap * scale) / panelColumns;
  const double rowHeight = area.height / panelRows;
  for (std::size_t k = 0; k < plot.panels.size(); ++k) {
    const int column = static_cast<int>(k) / panelRows;
    const int row = static_cast<int>(k) % panelRows;
    const LayoutBox panel{area.left + column * (columnWidth + panelColumnGap * scale),
                          area.top + row * rowHeight, columnWidth, rowHeight};
    const bool xLabels = row == panelRows - 1 || k + 1 == plot.panels.size();
    layout.panelBoxes.push_back(panel);
    layout.captions.push_back(plot.panels[k].clearance);
    layout.plotAreas.push_back(plotAreaIn(panel, scale, plotRightPad, xLabels));
    layout.showsXLabels.push_back(xLabels);
    if (xLabels) layout.xTitleBoxes.push_back(xTitleBoxUnder(layout.plotAreas.back(), panel, scale));
  }
}

}  // namespace

SweepPlotLayout layoutSweepPlot(const SweepPlot& plot) {
  SweepPlotLayout layout;
  layout.size = plot.size.value_or(defaultSweepPlotSize);
  const double scale = scaleOf(layout.size);
  const double width = layout.size.width;
  layout.textPixels = textSize * scale;
  layout.headlinePixels = headlineSize * scale;
  double top = margin * scale;
  layout.title = plot.title;
  layout.titleBox = {margin * scale, top, width - 2 * margin * scale, titleHeight * scale};
  top += titleHeight * scale;
  layout.headline = plot.headline;
  layout.headlineBox = {margin * scale, top, width - 2 * margin * scale, headlineHeight * scale};
  top += headlineHeight * scale;
  layout.legendBox = {margin * scale, top, width - 2 * margin * scale, legendHeight * scale};
  top += legendHeight * scale;
  const double bottom = layout.size.height - (margin + xTitleHeight) * scale;
  const LayoutBox area{margin * scale, top, width - 2 * margin * scale, std::max(1.0, bottom - top)};
  if (plot.second.empty()) {
    layOutPanels(plot, scale, area, layout);
  } else {
    layout.panelBoxes.push_back(area);
    layout.captions.emplace_back();
    layout.plotAreas.push_back(plotAreaIn(area, scale, colourBarWidth, true));
    layout.showsXLabels.push_back(true);
    layout.xTitleBoxes.push_back(xTitleBoxUnder(layout.plotAreas.back(), area, scale));
  }
  return layout;
}

}  // namespace propclear
