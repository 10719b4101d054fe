#pragma once
// The measures of the drawing's font, Arial, and of Liberation Sans, made to
// match it: what the SVG writer places text by and what the saved plots lay
// their labels out by, so that neither depends on the fonts of a machine.

#include <string_view>

namespace propclear {

// Vertical metrics per em (hhea table, 2048 units per em): ascender 1854,
// descender 434, line gap 67.
inline constexpr double fontAscentPerEm = 1854.0 / 2048.0;
inline constexpr double fontDescentPerEm = 434.0 / 2048.0;
inline constexpr double fontLineSpacingPerEm = (1854.0 + 434.0 + 67.0) / 2048.0;

// A font of `points` points in pixels of the window (a point is 4/3 pixel at
// 15 twips per pixel), scaled by `detailScale` and rounded, as every front
// end sets it.
double fontPixelsOf(int points, double detailScale = 1.0);

// The advance of the UTF-8 `text` in a font `fontPixels` high: each ASCII
// character by the font's own width, any other a whole em (the widest a
// fallback font's symbol takes).
double textAdvance(std::string_view text, double fontPixels);

}  // namespace propclear
