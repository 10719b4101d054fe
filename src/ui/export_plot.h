#pragma once
// Saves the drawing as an image file: PNG, SVG or PDF (one page), chosen by
// the file's extension; at the window's design size, or at a given size in
// pixels (PNG) or points (SVG, PDF) with lines and texts scaled alike.

#include <QPainter>
#include <QSize>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "driver/run_options.h"
#include "plot/drawing_surface.h"

namespace propclear {

// Throws RunError naming the file: Usage for an extension other than .png,
// .svg or .pdf, FileSystem when the file cannot be written. The file is
// replaced only by a complete image; on failure an earlier file stays as it
// was.
void exportPlot(const std::vector<DrawCommand>& commands, const std::filesystem::path& path,
                const std::optional<PlotSize>& size = std::nullopt);

// The same for any picture: `paint` draws it into the rectangle (0, 0) to
// `size` (pixels at `dotsPerInch`) of the image, SVG or PDF page; `title` names
// the SVG and PDF documents.
void exportPainting(const std::function<void(QPainter&)>& paint, QSize size, int dotsPerInch,
                    const QString& title, const std::filesystem::path& path);

}  // namespace propclear
