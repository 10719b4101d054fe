#include "plot/plot_file_format.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

namespace propclear {

namespace {

// Extension (lower case) of each supported plot file format.
constexpr std::array<std::pair<const char*, PlotFileFormat>, 3> plotExtensions{{
    {".png", PlotFileFormat::Png},
    {".svg", PlotFileFormat::Svg},
    {".pdf", PlotFileFormat::Pdf},
}};
static_assert(plotExtensions.size() == 3);

// ASCII only: the extension must not depend on the locale.
std::string lowerCaseAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return text;
}

}  // namespace

std::optional<PlotFileFormat> plotFileFormatOf(const std::filesystem::path& path) {
  const std::string extension = lowerCaseAscii(path.extension().string());
  for (const auto& [name, format] : plotExtensions) {
    if (extension == name) return format;
  }
  return std::nullopt;
}

bool isSupportedPlotExtension(const std::filesystem::path& path) {
  return plotFileFormatOf(path).has_value();
}

}  // namespace propclear
