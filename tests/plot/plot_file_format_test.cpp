#include "plot/plot_file_format.h"

#include <gtest/gtest.h>

#include <array>

namespace propclear {
namespace {

TEST(PlotFileFormat, ExtensionChoosesTheFormatInAnyCase) {
  struct Case {
    const char* path;
    std::optional<PlotFileFormat> format;
  };
  const std::array<Case, 11> cases{{
      {"plot.png", PlotFileFormat::Png},
      {"plot.PNG", PlotFileFormat::Png},
      {"out/stern.Svg", PlotFileFormat::Svg},
      {"stern.pdf", PlotFileFormat::Pdf},
      {"/tmp/a.b/stern.PdF", PlotFileFormat::Pdf},
      {"plot.bmp", std::nullopt},
      {"plot", std::nullopt},
      {"plot.png.txt", std::nullopt},
      {".png", std::nullopt},  // a hidden file's name, not an extension
      {"plot.pngx", std::nullopt},
      {"png", std::nullopt},
  }};
  for (const Case& c : cases) {
    EXPECT_EQ(plotFileFormatOf(c.path), c.format) << c.path;
    EXPECT_EQ(isSupportedPlotExtension(c.path), c.format.has_value()) << c.path;
  }
}

}  // namespace
}  // namespace propclear
