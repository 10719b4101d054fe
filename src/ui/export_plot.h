#pragma once
// Saves the drawing as an image at the window's design size: PNG, SVG or PDF
// (one page), chosen by the extension of the output file's target. The image
// is drawn in memory and handed to the output file as bytes, so that Qt never
// handles the file or its name.

#include <vector>

#include "plot/drawing_surface.h"

namespace propclear {

class OutputFile;

// Throws RunError naming the file: Usage for an extension other than .png,
// .svg or .pdf, FileSystem when the image cannot be made or written.
void exportPlot(const std::vector<DrawCommand>& commands, OutputFile& file);

}  // namespace propclear
