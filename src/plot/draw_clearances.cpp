// The six clearances over the stern plot: a, b and c of the upper blade, a',
// b' and c' of the lower one, each a segment and a label in the text colour.

#include "common/checked_math.h"
#include "common/format_number.h"
#include "plot/draw_stern_plot.h"

namespace propclear {

namespace {

double midpoint(double first, double second) {
  return checkedDivide(first + second, 2, "a midpoint of the clearance drawing");
}

// length / D with three decimals, followed by "D".
std::string ratioText(const ClearanceSegment& segment, double propellerDiameter) {
  return formatFixed(checkedDivide(segment.length, propellerDiameter, "a clearance ratio"), 1, 3) +
         "D";
}

void showClearance(DrawingSurface& surface, const ClearanceSegment& segment, int colour,
                   double labelX, double labelZ, const std::string& labelText) {
  surface.drawLine(segment.bladeX, segment.bladeZ, segment.targetX, segment.targetZ, colour);
  surface.moveTextCursor(labelX, labelZ);
  surface.printText(labelText);
}

// Horizontal segments are labelled at their middle, at their height.
void showHorizontal(DrawingSurface& surface, const ClearanceSegment& segment, int colour,
                    const std::string& labelText) {
  showClearance(surface, segment, colour, midpoint(segment.targetX, segment.bladeX),
                segment.bladeZ, labelText);
}

}  // namespace

void drawClearances(const DesignData& design, const ClearanceSet& clearances,
                    DrawingSurface& surface) {
  const double d = design.propellerDiameter;
  const ClearanceSegment& a = clearances[clearanceA];
  showHorizontal(surface, a, paletteLightGreen, "a=" + ratioText(a, d));
  // b's label stands at (zh + zt) / 1.8, above the middle for positive heights.
  const ClearanceSegment& b = clearances[clearanceB];
  showClearance(surface, b, paletteLightGreen, b.bladeX,
                checkedDivide(b.targetZ + b.bladeZ, 1.8, "the label position of b"),
                "b=" + ratioText(b, d));
  showHorizontal(surface, clearances[clearanceC], paletteLightBlue, "c");

  showHorizontal(surface, clearances[clearanceAPrime], paletteLightBlue, "a'");
  const ClearanceSegment& bPrime = clearances[clearanceBPrime];
  showClearance(surface, bPrime, paletteLightBlue, bPrime.bladeX,
                midpoint(bPrime.bladeZ, bPrime.targetZ), "b'");
  showHorizontal(surface, clearances[clearanceCPrime], paletteLightBlue, "c'");
}

}  // namespace propclear
