// The six clearances over the stern plot: a, b and c of the upper blade, a',
// b' and c' of the lower one as it turns, each a segment and a label in the
// text colour.

#include "clearance/segment_support.h"
#include "common/checked_math.h"
#include "common/format_number.h"
#include "plot/draw_stern_plot.h"
#include "sheet/clash_hatch.h"
#include "sheet/clearance_labels.h"
#include "sheet/sheet_layout.h"

namespace propclear {

namespace {

// length / D with three decimals, followed by "D".
std::string ratioText(const ClearanceSegment& segment, double propellerDiameter) {
  return formatFixed(checkedDivide(segment.length, propellerDiameter, "a clearance ratio"), 1, 3) +
         "D";
}

// The segment in `colour`, red where the blade overlaps the structure or
// fails a binding rule; the label in the text colour, marked where it
// overlaps and followed by its verdict mark.
struct DrawnClearanceMark {
  const AssessedClearance& clearance;
  const ClearanceSegment& segment;
  int colour;
  bool overlap;
  bool failsRule;
  std::string verdict;
  const PlotStyle& style;
  double propellerDiameter;
  PlotLabels* deferred;

  void show(DrawingSurface& surface, double labelX, double labelZ, std::string labelText) const {
    const int drawn = overlap || failsRule ? style.failure : colour;
    surface.drawLine(segment.bladeX, segment.bladeZ, segment.targetX, segment.targetZ, drawn);
    if (deferred == nullptr) surface.moveTextCursor(labelX, labelZ);
    if (style.valuedLabels) {
      labelText = valuedLabel(clearance, propellerDiameter);
      if (deferred == nullptr) surface.setTextColour(drawn);
    } else if (overlap) {
      labelText += " !";
    }
    if (!verdict.empty()) labelText += " " + verdict;
    if (deferred != nullptr) {
      deferred->push_back({{{segment.bladeX, segment.bladeZ}, {segment.targetX, segment.targetZ}},
                           {labelX, labelZ},
                           labelText,
                           style.valuedLabels ? drawn : style.text});
      return;
    }
    surface.printText(labelText);
    surface.setTextColour(style.text);
  }

  // Horizontal segments are labelled at their middle, at their height.
  void showHorizontal(DrawingSurface& surface, std::string labelText) const {
    show(surface, midpoint(segment.targetX, segment.bladeX), segment.bladeZ, std::move(labelText));
  }
};

}  // namespace

std::string verdictMark(const Assessment& assessment, ClearanceIndex which) {
  const std::optional<std::size_t> gravest = assessment.clearance(which).gravestRuleLine;
  if (!gravest) return "";
  switch (assessment.rules->lines[*gravest].verdict) {
    case RuleVerdict::BelowMinimum: return "\u2717";
    case RuleVerdict::NotMeasured: return "?";
    case RuleVerdict::Meets: return "\u2713";
    case RuleVerdict::NotApplicable: return "";
  }
  return "";
}

void drawClearances(const DesignData& design, const Assessment& assessment,
                    DrawingSurface& surface, const PlotStyle& style, PlotLabels* deferred) {
  if (style.hatchesClashes) {
    const double spacing = sheetPart(assessment.analysis.extent.range, 60.0);
    for (const Clash& clash : assessment.clashes) {
      for (const DrawingLine& line : clashHatch(clash.region, spacing)) {
        surface.drawLine(line.from.x, line.from.z, line.to.x, line.to.z, style.failure);
      }
    }
  }
  const double d = design.propellerDiameter;
  const auto mark = [&assessment, &style, d, deferred](ClearanceIndex which, int colour) {
    const AssessedClearance& clearance = assessment.clearance(which);
    return DrawnClearanceMark{clearance, clearance.segment, colour,
                              clearance.status == AssessmentStatus::Clash,
                              clearance.status == AssessmentStatus::Below,
                              verdictMark(assessment, which), style, d, deferred};
  };
  const DrawnClearanceMark a = mark(clearanceA, style.upperClearances);
  a.showHorizontal(surface, "a=" + ratioText(a.segment, d));
  // b's label stands at (zh + zt) / 1.8, above the middle for positive heights.
  const DrawnClearanceMark b = mark(clearanceB, style.upperClearances);
  b.show(surface, b.segment.bladeX,
         checkedDivide(b.segment.targetZ + b.segment.bladeZ, 1.8, "the label position of b"),
         "b=" + ratioText(b.segment, d));
  mark(clearanceC, style.otherClearances).showHorizontal(surface, "c");

  mark(clearanceAPrime, style.otherClearances).showHorizontal(surface, "a'");
  const DrawnClearanceMark bPrime = mark(clearanceBPrime, style.otherClearances);
  bPrime.show(surface, bPrime.segment.bladeX,
              midpoint(bPrime.segment.bladeZ, bPrime.segment.targetZ), "b'");
  mark(clearanceCPrime, style.otherClearances).showHorizontal(surface, "c'");
}

}  // namespace propclear
