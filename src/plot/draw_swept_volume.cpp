// The swept volume of the turning propeller over the stern plot, and the
// closest approach of each structure to it.

#include <vector>

#include "common/checked_math.h"
#include "common/format_number.h"
#include "plot/draw_stern_plot.h"
#include "sheet/clearance_labels.h"
#include "sheet/approach_marks.h"

namespace propclear {

namespace {

void drawClosedOutline(const std::vector<DrawingPoint>& points, DrawingSurface& surface,
                       int colour) {
  for (std::size_t i = 0; i < points.size(); ++i) {
    const DrawingPoint& from = points[i];
    const DrawingPoint& to = points[(i + 1) % points.size()];
    surface.drawLine(from.x, from.z, to.x, to.z, colour);
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
void drawApproach(const ApproachMark& mark, const ClosestApproach& approach, double range,
                  DrawingSurface& surface, const PlotStyle& style, PlotLabels* deferred) {
  const DrawingLine& s = mark.segment;
  surface.drawLine(s.from.x, s.from.z, s.to.x, s.to.z,
                   mark.overlaps ? style.failure : style.approach);
  const bool forward = s.from.x < s.to.x;
  const DrawingPoint corner{
      forward ? s.from.x - labelPart(range, 6) : s.from.x + labelPart(range, 100),
      mark.toHub ? s.from.z - labelPart(range, 50) : s.from.z + labelPart(range, 50)};
  if (deferred != nullptr) {
    deferred->push_back({s, corner,
                         style.valuedLabels ? approachLabel(approach)
                                            : formatFixed(mark.ratioToDiameter, 1, 3) + "D" +
                                                  (mark.overlaps ? " !" : ""),
                         mark.overlaps && style.valuedLabels ? style.failure : style.text});
    return;
  }
  surface.moveTextCursor(corner.x, corner.z);
  if (!style.valuedLabels) {
    surface.printText(formatFixed(mark.ratioToDiameter, 1, 3) + "D" + (mark.overlaps ? " !" : ""));
    return;
  }
  surface.setTextColour(mark.overlaps ? style.failure : style.text);
  surface.printText(approachLabel(approach));
  surface.setTextColour(style.text);
}

}  // namespace

void drawSweptVolume(const SternAnalysis& analysis, DrawingSurface& surface,
                     const PlotStyle& style, PlotLabels* deferred) {
  const SweptOutline outline = sweptOutlineOf(analysis);
  surface.setLineStyle(LineStyle::Dashed);
  drawClosedOutline(outline.above, surface, style.sweptOutline);
  drawClosedOutline(outline.below, surface, style.sweptOutline);
  surface.setLineStyle(LineStyle::Dotted);
  // The marks in the order of the approaches, the hub's last.
  std::vector<ClosestApproach> approaches = analysis.closestApproaches;
  if (analysis.hubApproach) approaches.push_back(*analysis.hubApproach);
  const std::vector<ApproachMark> marks = approachMarksOf(analysis);
  for (std::size_t i = 0; i < marks.size() && i < approaches.size(); ++i) {
    drawApproach(marks[i], approaches[i], analysis.extent.range, surface, style, deferred);
  }
  surface.setLineStyle(LineStyle::Solid);
}

}  // namespace propclear
