#include "sheet/clash_hatch.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "common/checked_math.h"

namespace propclear {

namespace {

// Along a hatch line (t) and across the lines (c), in m.
constexpr double halfRoot2 = 0.70710678118654752;
double along(DrawingPoint p) { return halfRoot2 * (p.x + p.z); }
double across(DrawingPoint p) { return halfRoot2 * (p.x - p.z); }

using Intervals = std::vector<std::pair<double, double>>;

// The pieces of the line across = c inside the closed outline, by the
// even-odd rule: its crossings with the outline's sides, paired in order.
Intervals insideOf(const std::vector<DrawingPoint>& outline, double c) {
  std::vector<double> crossings;
  for (std::size_t i = 0; i < outline.size(); ++i) {
    const DrawingPoint a = outline[i];
    const DrawingPoint b = outline[(i + 1) % outline.size()];
    const double da = across(a) - c, db = across(b) - c;
    if ((da < 0.0) == (db < 0.0)) continue;
    const double share = checkedDivide(da, da - db, "a line of the clash hatching");
    crossings.push_back(along(a) + share * (along(b) - along(a)));
  }
  std::sort(crossings.begin(), crossings.end());
  Intervals inside;
  for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
    inside.emplace_back(crossings[i], crossings[i + 1]);
  }
  return inside;
}

Intervals unionOf(Intervals intervals) {
  std::sort(intervals.begin(), intervals.end());
  Intervals merged;
  for (const auto& piece : intervals) {
    if (!merged.empty() && piece.first <= merged.back().second) {
      merged.back().second = std::max(merged.back().second, piece.second);
    } else {
      merged.push_back(piece);
    }
  }
  return merged;
}

Intervals intersectionOf(const Intervals& first, const Intervals& second) {
  Intervals common;
  for (const auto& a : first) {
    for (const auto& b : second) {
      const double from = std::max(a.first, b.first), to = std::min(a.second, b.second);
      if (from < to) common.emplace_back(from, to);
    }
  }
  return common;
}

DrawingPoint pointAt(double t, double c) {
  return {halfRoot2 * (t + c), halfRoot2 * (t - c)};
}

}  // namespace

std::vector<DrawingLine> clashHatch(const ClashRegion& region, double spacing) {
  std::vector<DrawingLine> lines;
  double low = 0.0, high = 0.0;
  bool any = false;
  for (const auto& outline : region.cutter) {
    for (const DrawingPoint& point : outline) {
      low = any ? std::min(low, across(point)) : across(point);
      high = any ? std::max(high, across(point)) : across(point);
      any = true;
    }
  }
  if (!any || region.structure.empty() || !(spacing > 0.0)) return lines;
  spacing = std::max(spacing, checkedDivide(high - low, maxHatchLines, "the clash hatching"));
  for (double c = std::ceil(checkedDivide(low, spacing, "the clash hatching")) * spacing; c < high;
       c += spacing) {
    Intervals cutter;
    for (const auto& outline : region.cutter) {
      const Intervals inside = insideOf(outline, c);
      cutter.insert(cutter.end(), inside.begin(), inside.end());
    }
    for (const auto& [from, to] : intersectionOf(unionOf(cutter), insideOf(region.structure, c))) {
      lines.push_back({pointAt(from, c), pointAt(to, c)});
    }
  }
  return lines;
}

}  // namespace propclear
