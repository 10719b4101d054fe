#pragma once
// The drawing as an SVG image, the same on every platform and in every
// build: the picture the window shows, at its design size (716 x 472) or at
// a given size in points with lines and texts scaled alike. Text is placed
// by the metrics of the drawing's font (Arial, and the metric-compatible
// Liberation Sans), not by those of whatever font a machine has, so that the
// file depends on nothing but the drawing.

#include <optional>
#include <string>
#include <vector>

#include "plot/drawing_surface.h"
#include "plot/plot_size.h"

namespace propclear {

class OutputFile;

std::string svgDrawingText(const std::vector<DrawCommand>& commands,
                           const std::optional<PlotSize>& size = std::nullopt);

void writeSvgDrawing(OutputFile& file, const std::vector<DrawCommand>& commands,
                     const std::optional<PlotSize>& size = std::nullopt);

}  // namespace propclear
