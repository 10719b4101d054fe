// The swept volume of the turning propeller over the stern plot, and the
// closest approach of each structure to it.

#include <vector>

#include "common/checked_math.h"
#include "common/format_number.h"
#include "plot/draw_stern_plot.h"
#include "sheet/swept_outline.h"

namespace propclear {

namespace {

void drawClosedOutline(const std::vector<DrawingPoint>& points, DrawingSurface& surface) {
  for (std::size_t i = 0; i < points.size(); ++i) {
    const DrawingPoint& from = points[i];
    const DrawingPoint& to = points[(i + 1) % points.size()];
    surface.drawLine(from.x, from.z, to.x, to.z, paletteDarkGrey);
  }
}

double labelPart(double whole, double divisor) {
  return checkedDivide(whole, divisor, "the label of a closest approach");
}

// The segment dotted, red where the volume overlaps the structure. The label
// stands at the structure's end, away from the propeller, where the blades'
// own labels are not: left of a structure forward of the swept volume (a
// label of seven characters is about R/7 wide, R the extent's range), right
// of one aft of it, its top a little above the end; the hub's, which starts
// on the stern contour near the blades' approach, below its end.
void drawApproach(const ApproachMark& mark, double range, DrawingSurface& surface) {
  const DrawingLine& s = mark.segment;
  surface.drawLine(s.from.x, s.from.z, s.to.x, s.to.z,
                   mark.overlaps ? paletteLightRed : paletteBlue);
  const bool forward = s.from.x < s.to.x;
  surface.moveTextCursor(
      forward ? s.from.x - labelPart(range, 6) : s.from.x + labelPart(range, 100),
      mark.toHub ? s.from.z - labelPart(range, 50) : s.from.z + labelPart(range, 50));
  surface.printText(formatFixed(mark.ratioToDiameter, 1, 3) + "D" + (mark.overlaps ? " !" : ""));
}

}  // namespace

void drawSweptVolume(const SternAnalysis& analysis, DrawingSurface& surface) {
  const SweptOutline outline = sweptOutlineOf(analysis);
  surface.setLineStyle(LineStyle::Dashed);
  drawClosedOutline(outline.above, surface);
  drawClosedOutline(outline.below, surface);
  surface.setLineStyle(LineStyle::Dotted);
  for (const ApproachMark& mark : approachMarksOf(analysis)) {
    drawApproach(mark, analysis.extent.range, surface);
  }
  surface.setLineStyle(LineStyle::Solid);
}

}  // namespace propclear
