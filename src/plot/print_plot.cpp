#include "plot/print_plot.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "common/checked_math.h"
#include "plot/draw_stern_plot.h"
#include "plot/plot_font_metrics.h"
#include "plot/plot_mapping.h"
#include "plot/plot_size.h"
#include "sheet/label_layout.h"

namespace propclear {

namespace {

// Pixels of the design size: room kept inside the drawing's rectangle,
// between a text and the ink around it and beside its text, how far a label
// may stand off what it names without a leader, and the spacing of the
// places tried for it.
constexpr double insetPixels = 2.0;
constexpr double clearancePixels = 1.0;
constexpr double paddingAtDesign = 1.0;
constexpr double leaderFreePixels = 4.0;
constexpr double leaderGapPixels = 1.0;
constexpr double gridStepPixels = 3.0;
constexpr double labelGapAtDesign = 2.0;

// The mapping of the last user scale set into the image's area.
std::optional<PlotMapping> areaMapping(const std::vector<DrawCommand>& commands, PlotSize area) {
  const auto scale = std::find_if(commands.rbegin(), commands.rend(), [](const DrawCommand& c) {
    return c.op == DrawOp::SetUserScale;
  });
  if (scale == commands.rend()) return std::nullopt;
  return fittedPlotMapping(scale->left, scale->top, scale->right, scale->bottom, area);
}

LayoutPoint pixelOf(const PlotMapping& mapping, double x, double z) {
  const PixelPoint pixel = mapping.map(x, z);
  return {pixel.x, pixel.y};
}

// Every line drawn, and each circle as the square around it.
void addInk(PlacedLabels& layout, const std::vector<DrawCommand>& commands,
            const PlotMapping& mapping) {
  for (const DrawCommand& c : commands) {
    if (c.op == DrawOp::DrawLine) {
      layout.addLine({pixelOf(mapping, c.x1, c.y1), pixelOf(mapping, c.x2, c.y2)});
    } else if (c.op == DrawOp::DrawCircle) {
      const LayoutPoint centre = pixelOf(mapping, c.x1, c.y1);
      const double r = std::abs(c.radius * mapping.xScale);
      const LayoutPoint corners[] = {{centre.x - r, centre.y - r},
                                     {centre.x + r, centre.y - r},
                                     {centre.x + r, centre.y + r},
                                     {centre.x - r, centre.y + r}};
      for (int i = 0; i < 4; ++i) layout.addLine({corners[i], corners[(i + 1) % 4]});
    }
  }
}

void printAt(DrawingSurface& surface, const PlotLabel& label, double x, double z, int textColour) {
  surface.setTextColour(label.colour);
  surface.moveTextCursor(x, z);
  surface.printText(label.text);
  surface.setTextColour(textColour);
}

}  // namespace

void placePlotLabels(const PlotLabels& labels, DrawingSurface& surface, const PlotLabelStyle& style,
                     const std::optional<PlotSize>& size) {
  const PlotSize area = size.value_or(designPlotSize);
  const std::optional<PlotMapping> mapping = areaMapping(surface.commands(), area);
  if (!mapping) {
    for (const PlotLabel& label : labels) {
      printAt(surface, label, label.corner.x, label.corner.z, style.textColour);
    }
    return;
  }
  // Lines and texts of a size other than the design's are scaled alike, as
  // the front ends draw them.
  const double detailScale =
      size ? std::min(checkedDivide(area.width, designPlotSize.width, "the plot's detail scale"),
                      checkedDivide(area.height, designPlotSize.height, "the plot's detail scale"))
           : 1.0;
  placePlotLabels(labels, surface, style, {*mapping, area, detailScale});
}

void placePlotLabels(const PlotLabels& labels, DrawingSurface& surface, const PlotLabelStyle& style,
                     const PlotLabelView& view) {
  const int textColour = style.textColour;
  const std::vector<DrawCommand> commands = surface.commands();
  const PlotMapping* mapping = &view.mapping;
  const PlotSize area = view.area;
  const double detailScale = view.detailScale;
  const double unit = std::max(detailScale, 1.0);
  PlacedLabels layout(LabelBox{0.0, 0.0, double(area.width), double(area.height)}.grown(-insetPixels * unit),
                     {clearancePixels * unit, leaderFreePixels * unit, leaderGapPixels * unit,
                      gridStepPixels * unit});
  addInk(layout, commands, *mapping);
  const double fontPixels = fontPixelsOf(style.fontPoints, detailScale);
  const double paddingPixels = paddingAtDesign * unit;
  const double labelGapPixels = labelGapAtDesign * unit;
  const double height = (fontAscentPerEm + fontDescentPerEm) * fontPixels;
  const auto namedSegment = [&mapping](const PlotLabel& label) {
    return LayoutSegment{pixelOf(*mapping, label.names.from.x, label.names.from.z),
                         pixelOf(*mapping, label.names.to.x, label.names.to.z)};
  };
  const auto anchorOf = [](const LayoutSegment& names) {
    return LayoutPoint{0.5 * (names.from.x + names.to.x), 0.5 * (names.from.y + names.to.y)};
  };
  // No label covers the point another one's leader starts from.
  for (const PlotLabel& label : labels) layout.reserve(anchorOf(namedSegment(label)));
  for (const PlotLabel& label : labels) {
    const double width = textAdvance(label.text, fontPixels) + 2.0 * paddingPixels;
    const LayoutSegment names = namedSegment(label);
    const LayoutPoint anchor = anchorOf(names);
    const LayoutPoint corner = pixelOf(*mapping, label.corner.x, label.corner.z);
    std::vector<LayoutPoint> preferred = centresBesideSegment(names, width, height, labelGapPixels);
    preferred.push_back({corner.x - paddingPixels + 0.5 * width, corner.y + 0.5 * height});
    const std::optional<LabelPlacement> placed = layout.place(anchor, width, height, preferred);
    if (!placed) {
      printAt(surface, label, label.corner.x, label.corner.z, textColour);
      continue;
    }
    if (placed->leader) {
      const PixelPoint from = mapping->unmap({placed->leader->from.x, placed->leader->from.y});
      const PixelPoint to = mapping->unmap({placed->leader->to.x, placed->leader->to.y});
      surface.drawLine(from.x, from.y, to.x, to.y, style.leaderColour);
    }
    const PixelPoint at = mapping->unmap({placed->box.left + paddingPixels, placed->box.top});
    printAt(surface, label, at.x, at.y, textColour);
  }
}

PlotLabelStyle printLabelStyle() {
  return {printPlotStyle.fontPoints, printPlotStyle.text, printPlotStyle.approach};
}

PlotLabels drawUnlabelledPrintPlot(const DesignData& design, const Assessment& assessment,
                                   DrawingSurface& surface) {
  PlotLabels labels;
  drawSternPlot(design, assessment.analysis, surface, printPlotStyle, &labels);
  drawClearances(design, assessment, surface, printPlotStyle, &labels);
  drawSweptVolume(assessment.analysis, surface, printPlotStyle, &labels);
  return labels;
}

void drawPrintPlot(const DesignData& design, const Assessment& assessment, DrawingSurface& surface,
                   const std::optional<PlotSize>& size) {
  const PlotLabels labels = drawUnlabelledPrintPlot(design, assessment, surface);
  placePlotLabels(labels, surface, printLabelStyle(), size);
}

}  // namespace propclear
