#pragma once
// The image formats the plot can be saved in, chosen by the file's extension.

#include <filesystem>
#include <optional>

namespace propclear {

enum class PlotFileFormat { Png, Svg, Pdf };

// The format named by the extension (".png", ".svg", ".pdf", in any case), or
// nothing for any other extension or none.
std::optional<PlotFileFormat> plotFileFormatOf(const std::filesystem::path& path);

bool isSupportedPlotExtension(const std::filesystem::path& path);

}  // namespace propclear
