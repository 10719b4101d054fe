#include "sheet/label_layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "common/checked_math.h"

namespace propclear {

namespace {

// Where two segments cross, ends included; parallel ones never do.
bool segmentsCross(const LayoutSegment& s, const LayoutSegment& t) {
  const auto side = [](LayoutPoint a, LayoutPoint b, LayoutPoint p) {
    return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
  };
  const double d1 = side(t.from, t.to, s.from), d2 = side(t.from, t.to, s.to);
  const double d3 = side(s.from, s.to, t.from), d4 = side(s.from, s.to, t.to);
  return ((d1 > 0.0 && d2 < 0.0) || (d1 < 0.0 && d2 > 0.0)) &&
         ((d3 > 0.0 && d4 < 0.0) || (d3 < 0.0 && d4 > 0.0));
}

double squaredDistance(LayoutPoint a, LayoutPoint b) {
  return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y);
}

}  // namespace

LabelBox LabelBox::around(LayoutPoint centre, double width, double height) {
  return {centre.x - 0.5 * width, centre.y - 0.5 * height, centre.x + 0.5 * width,
          centre.y + 0.5 * height};
}

bool LabelBox::contains(LayoutPoint point) const {
  return point.x >= left && point.x <= right && point.y >= top && point.y <= bottom;
}

bool LabelBox::contains(const LabelBox& other) const {
  return other.left >= left && other.right <= right && other.top >= top && other.bottom <= bottom;
}

bool LabelBox::intersects(const LabelBox& other) const {
  return std::min(right, other.right) > std::max(left, other.left) &&
         std::min(bottom, other.bottom) > std::max(top, other.top);
}

LabelBox LabelBox::grown(double margin) const {
  return {left - margin, top - margin, right + margin, bottom + margin};
}

bool segmentCrossesBox(const LayoutSegment& segment, const LabelBox& box) {
  if (box.contains(segment.from) || box.contains(segment.to)) return true;
  if (std::max(segment.from.x, segment.to.x) < box.left ||
      std::min(segment.from.x, segment.to.x) > box.right ||
      std::max(segment.from.y, segment.to.y) < box.top ||
      std::min(segment.from.y, segment.to.y) > box.bottom) {
    return false;
  }
  const LayoutPoint corners[] = {
      {box.left, box.top}, {box.right, box.top}, {box.right, box.bottom}, {box.left, box.bottom}};
  for (int i = 0; i < 4; ++i) {
    if (segmentsCross(segment, {corners[i], corners[(i + 1) % 4]})) return true;
  }
  return false;
}

PlacedLabels::PlacedLabels(LabelBox inner, LabelLayoutMeasures measures)
    : inner_(inner), measures_(measures) {}

bool PlacedLabels::isFree(const LabelBox& box, LayoutPoint ownAnchor) const {
  const LabelBox grown = box.grown(measures_.clearance);
  return std::none_of(lines_.begin(), lines_.end(),
                      [&grown](const LayoutSegment& line) { return segmentCrossesBox(line, grown); }) &&
         std::none_of(boxes_.begin(), boxes_.end(),
                      [&grown](const LabelBox& other) { return other.intersects(grown); }) &&
         std::none_of(reserved_.begin(), reserved_.end(), [&grown, ownAnchor](LayoutPoint point) {
           return (point.x != ownAnchor.x || point.y != ownAnchor.y) && grown.contains(point);
         });
}

std::optional<LayoutSegment> PlacedLabels::leaderTo(LayoutPoint anchor, const LabelBox& box) const {
  const LayoutPoint nearest{std::clamp(anchor.x, box.left, box.right),
                            std::clamp(anchor.y, box.top, box.bottom)};
  const double length = std::sqrt(squaredDistance(anchor, nearest));
  if (length <= measures_.leaderFreeDistance) return std::nullopt;
  // Short of the label's clearance, so that it stops before the text.
  const double share = checkedDivide(length - measures_.clearance - measures_.leaderGap, length,
                                     "a label's leader");
  return LayoutSegment{anchor, {anchor.x + share * (nearest.x - anchor.x),
                                anchor.y + share * (nearest.y - anchor.y)}};
}

std::vector<LayoutPoint> PlacedLabels::gridAround(LayoutPoint anchor, double width,
                                                 double height) const {
  const double step = std::max(measures_.gridStep, 0.5 * height);
  std::vector<std::pair<double, LayoutPoint>> places;
  for (double y = inner_.top + 0.5 * height; y <= inner_.bottom; y += step) {
    for (double x = inner_.left + 0.5 * width; x <= inner_.right; x += step) {
      places.emplace_back(squaredDistance({x, y}, anchor), LayoutPoint{x, y});
    }
  }
  std::stable_sort(places.begin(), places.end(),
                   [](const auto& p, const auto& q) { return p.first < q.first; });
  std::vector<LayoutPoint> centres;
  for (const auto& place : places) centres.push_back(place.second);
  return centres;
}

std::optional<LabelPlacement> PlacedLabels::place(LayoutPoint anchor, double width, double height,
                                                 const std::vector<LayoutPoint>& preferredCentres,
                                                 bool leader) {
  const auto tryAt = [&](LayoutPoint centre) -> std::optional<LabelPlacement> {
    const LabelBox box = LabelBox::around(centre, width, height);
    if (!inner_.contains(box) || !isFree(box, anchor)) return std::nullopt;
    const std::optional<LayoutSegment> line = leader ? leaderTo(anchor, box) : std::nullopt;
    if (line && std::any_of(boxes_.begin(), boxes_.end(), [&line](const LabelBox& other) {
          return segmentCrossesBox(*line, other);
        })) {
      return std::nullopt;
    }
    if (line) lines_.push_back(*line);
    boxes_.push_back(box);
    return LabelPlacement{box, line};
  };
  for (const LayoutPoint& centre : preferredCentres) {
    if (auto placed = tryAt(centre)) return placed;
  }
  for (const LayoutPoint& centre : gridAround(anchor, width, height)) {
    if (auto placed = tryAt(centre)) return placed;
  }
  return std::nullopt;
}

std::vector<LayoutPoint> centresBesideSegment(const LayoutSegment& segment, double width,
                                              double height, double gap) {
  const LayoutPoint middle{0.5 * (segment.from.x + segment.to.x),
                           0.5 * (segment.from.y + segment.to.y)};
  const double dy = 0.5 * height + gap, dx = 0.5 * width + gap;
  if (std::abs(segment.to.x - segment.from.x) >= std::abs(segment.to.y - segment.from.y)) {
    return {{middle.x, middle.y - dy}, {middle.x, middle.y + dy}};
  }
  return {{middle.x + dx, middle.y}, {middle.x - dx, middle.y}};
}

}  // namespace propclear
