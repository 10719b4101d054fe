#pragma once
// What the CAD script and the DXF drawing both write beside the geometry: the
// title, the credit line, and how each clearance is drawn and labelled.

#include <iterator>
#include <string>

#include "clearance/clearance_segment.h"

namespace propclear {

// Metres in the design, millimetres in the drawing.
inline constexpr double millimetresPerMetre = 1000.0;
// The text height is this fraction of the drawing's extent.
inline constexpr double textHeightDivisor = 50.0;

inline constexpr const char* drawingTitle =
    "Gemi Kic Formu / Pervane-Dumen-Kic Bodoslama Acikliklari Geometrisi";

// "Drawn by propclear <version>, free software under the MIT licence".
std::string drawingCreditLine();

// How each clearance is drawn and labelled, in the order a, b, c, a', b', c'.
struct ClearanceStyle {
  int colour;  // AutoCAD colour number
  const char* labelPrefix;
  bool targetEndFirst;  // the segment is drawn from its target end to the blade
  bool labelRightAligned;  // the label ends at the segment's midpoint instead of starting there
};
inline constexpr ClearanceStyle clearanceStyles[] = {
    {2, "a=", false, false}, {2, "b=", false, false}, {1, "c=", true, true},
    {2, "a'=", false, false}, {1, "b'=", false, false}, {2, "c'=", true, true},
};
static_assert(std::size(clearanceStyles) == clearanceCount);

// The label of a clearance: its prefix, length / D with three decimals, "*D"
// ("a=0.045*D").
std::string clearanceLabel(const ClearanceSegment& segment, const ClearanceStyle& style,
                           double propellerDiameter);

}  // namespace propclear
