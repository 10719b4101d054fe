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

// The segment in `colour`, red where the blade overlaps the structure or
// fails a binding rule; the label in the text colour, marked where it
// overlaps and followed by its verdict mark.
struct ClearanceMark {
  const ClearanceSegment& segment;
  int colour;
  bool overlap;
  bool failsRule;
  std::string verdict;

  void show(DrawingSurface& surface, double labelX, double labelZ, std::string labelText) const {
    surface.drawLine(segment.bladeX, segment.bladeZ, segment.targetX, segment.targetZ,
                     overlap || failsRule ? paletteLightRed : colour);
    surface.moveTextCursor(labelX, labelZ);
    if (overlap) labelText += " !";
    if (!verdict.empty()) labelText += " " + verdict;
    surface.printText(labelText);
  }

  // Horizontal segments are labelled at their middle, at their height.
  void showHorizontal(DrawingSurface& surface, std::string labelText) const {
    show(surface, midpoint(segment.targetX, segment.bladeX), segment.bladeZ, std::move(labelText));
  }
};

}  // namespace

std::string verdictMark(const RuleCheck& ruleCheck, ClearanceIndex which) {
  bool judged = false, below = false, notMeasured = false;
  for (const RuleLine& line : ruleCheck.lines) {
    if (line.clearance != which || line.verdict == RuleVerdict::NotApplicable) continue;
    judged = true;
    below = below || line.verdict == RuleVerdict::BelowMinimum;
    notMeasured = notMeasured || line.verdict == RuleVerdict::NotMeasured;
  }
  if (!judged) return "";
  if (below) return "\u2717";
  return notMeasured ? "?" : "\u2713";
}

bool failsBindingRule(const RuleCheck& ruleCheck, ClearanceIndex which) {
  for (const RuleLine& line : ruleCheck.lines) {
    if (line.clearance == which && !line.informative &&
        line.verdict == RuleVerdict::BelowMinimum) {
      return true;
    }
  }
  return false;
}

void drawClearances(const DesignData& design, const SternAnalysis& analysis,
                    DrawingSurface& surface, const RuleCheck* ruleCheck) {
  const double d = design.propellerDiameter;
  const auto mark = [&analysis, ruleCheck](ClearanceIndex which, int colour) {
    return ClearanceMark{analysis.clearances[which], colour, overlaps(analysis.signedGaps[which]),
                         ruleCheck != nullptr && failsBindingRule(*ruleCheck, which),
                         ruleCheck != nullptr ? verdictMark(*ruleCheck, which) : ""};
  };
  const ClearanceMark a = mark(clearanceA, paletteLightGreen);
  a.showHorizontal(surface, "a=" + ratioText(a.segment, d));
  // b's label stands at (zh + zt) / 1.8, above the middle for positive heights.
  const ClearanceMark b = mark(clearanceB, paletteLightGreen);
  b.show(surface, b.segment.bladeX,
         checkedDivide(b.segment.targetZ + b.segment.bladeZ, 1.8, "the label position of b"),
         "b=" + ratioText(b.segment, d));
  mark(clearanceC, paletteLightBlue).showHorizontal(surface, "c");

  mark(clearanceAPrime, paletteLightBlue).showHorizontal(surface, "a'");
  const ClearanceMark bPrime = mark(clearanceBPrime, paletteLightBlue);
  bPrime.show(surface, bPrime.segment.bladeX,
              midpoint(bPrime.segment.bladeZ, bPrime.segment.targetZ), "b'");
  mark(clearanceCPrime, paletteLightBlue).showHorizontal(surface, "c'");
}

}  // namespace propclear
