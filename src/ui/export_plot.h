#pragma once
// Saves the drawing as an image file at the window's design size: PNG, SVG
// or PDF (one page), chosen by the file's extension.

#include <QPainter>
#include <QSize>
#include <filesystem>
#include <functional>
#include <vector>

#include "plot/drawing_surface.h"

namespace propclear {

// Throws RunError naming the file: Usage for an extension other than .png,
// .svg or .pdf, FileSystem when the file cannot be written. The file is
// replaced only by a complete image; on failure an earlier file stays as it
// was.
void exportPlot(const std::vector<DrawCommand>& commands, const std::filesystem::path& path);

// The same for any picture: `paint` draws it into the rectangle (0, 0) to
// `size` (pixels at `dotsPerInch`) of the image, SVG or PDF page; `title` names
// the SVG and PDF documents.
void exportPainting(const std::function<void(QPainter&)>& paint, QSize size, int dotsPerInch,
                    const QString& title, const std::filesystem::path& path);

}  // namespace propclear
