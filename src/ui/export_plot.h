#pragma once
// Saves the drawing as an image: PNG, SVG (the core's, plot/svg_drawing.h) or
// PDF (one page), chosen by the
// extension of the output file's target; at the window's design size, or at
// a given size in pixels (PNG) or points (SVG, PDF) with lines and texts
// scaled alike. The image is drawn in memory and handed to the output file as
// bytes, so that Qt never handles the file or its name.

#include <QPainter>
#include <QSize>
#include <functional>
#include <optional>
#include <vector>

#include "driver/run_options.h"
#include "plot/drawing_surface.h"

namespace propclear {

class OutputFile;

// Throws RunError naming the file: Usage for an extension other than .png,
// .svg or .pdf, FileSystem when the image cannot be made or written.
void exportPlot(const std::vector<DrawCommand>& commands, OutputFile& file,
                const std::optional<PlotSize>& size = std::nullopt);

// The same for any picture: `paint` draws it into the rectangle (0, 0) to
// `size` (pixels at `dotsPerInch`) of the image, SVG or PDF page; `title`
// names the SVG and PDF documents.
void exportPainting(const std::function<void(QPainter&)>& paint, QSize size, int dotsPerInch,
                    const QString& title, OutputFile& file);

}  // namespace propclear
