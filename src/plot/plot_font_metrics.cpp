#include "plot/plot_font_metrics.h"

#include <array>
#include <cmath>

#include "plot/plot_size.h"

namespace propclear {

namespace {

constexpr double unitsPerEm = 2048.0;
// Advance widths of the characters 32 (blank) to 126 (~) in units of the em,
// from the hmtx table of Liberation Sans Regular 2.1, equal to Arial's.
constexpr std::array<int, 95> asciiAdvances = {
    569,  569,  727,  1139, 1139, 1821, 1366, 391,  682,  682,  797,  1196, 569,  682,  569,  569,
    1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 569,  569,  1196, 1196, 1196, 1139,
    2079, 1366, 1366, 1479, 1479, 1366, 1251, 1593, 1479, 569,  1024, 1366, 1139, 1706, 1479, 1593,
    1366, 1593, 1479, 1366, 1251, 1479, 1366, 1933, 1366, 1366, 1251, 569,  569,  569,  961,  1139,
    682,  1139, 1139, 1024, 1139, 1139, 569,  1139, 1139, 455,  455,  1024, 455,  1706, 1139, 1139,
    1139, 1139, 682,  1024, 569,  1139, 1024, 1479, 1024, 1024, 1024, 684,  532,  684,  1196};

}  // namespace

double fontPixelsOf(int points, double detailScale) {
  return static_cast<double>(
      std::lround(points * double{twipsPerPoint} / twipsPerPixel * detailScale));
}

double textAdvance(std::string_view text, double fontPixels) {
  double units = 0.0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 32 && byte <= 126) {
      units += asciiAdvances[byte - 32];
    } else if ((byte & 0xC0u) != 0x80u) {  // the first byte of a character beyond ASCII
      units += unitsPerEm;
    }
  }
  return units / unitsPerEm * fontPixels;
}

}  // namespace propclear
