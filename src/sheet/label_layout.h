#pragma once
// Where the labels of a drawing go so that nothing overprints: each label
// takes the first free place near the point it names, first of the places
// it prefers, then of a grid of places ever farther off, inside the drawing's
// box; a place is free when no drawn line runs through the label, no label
// placed before covers it, and it covers no point a later label starts its
// leader from. A label off its point gets a leader to it, which runs through
// no label. The clearance report and the saved plots lay out their labels
// alike with it, each in its own device units (y downwards).

#include <optional>
#include <vector>

namespace propclear {

struct LayoutPoint {
  double x = 0.0;
  double y = 0.0;
};

struct LayoutSegment {
  LayoutPoint from;
  LayoutPoint to;
};

struct LabelBox {
  double left = 0.0;
  double top = 0.0;
  double right = 0.0;
  double bottom = 0.0;

  static LabelBox around(LayoutPoint centre, double width, double height);
  bool contains(LayoutPoint point) const;
  bool contains(const LabelBox& other) const;
  // Whether the two share more than an edge.
  bool intersects(const LabelBox& other) const;
  LabelBox grown(double margin) const;
};

// Whether the segment has a point inside the box or crosses one of its sides.
bool segmentCrossesBox(const LayoutSegment& segment, const LabelBox& box);

// Device units: text keeps `clearance` off lines and other text; a label
// whose nearest side lies farther than `leaderFreeDistance` from its point
// gets a leader, stopping `leaderGap` short of its clearance; the places tried away from
// the point lie `gridStep` apart (at least half a label's height).
struct LabelLayoutMeasures {
  double clearance = 0.0;
  double leaderFreeDistance = 0.0;
  double leaderGap = 0.0;
  double gridStep = 1.0;
};

struct LabelPlacement {
  LabelBox box;
  std::optional<LayoutSegment> leader;
};

class PlacedLabels {
 public:
  PlacedLabels(LabelBox inner, LabelLayoutMeasures measures);

  void addLine(const LayoutSegment& line) { lines_.push_back(line); }
  void reserve(LayoutPoint anchor) { reserved_.push_back(anchor); }

  // The first free place for a label `width` by `height` naming `anchor`,
  // taken with its leader; none when no place is free. Without `leader`
  // a label that names no one point (a note) goes to the first free place.
  std::optional<LabelPlacement> place(LayoutPoint anchor, double width, double height,
                                      const std::vector<LayoutPoint>& preferredCentres,
                                      bool leader = true);

  const std::vector<LayoutSegment>& lines() const { return lines_; }
  const std::vector<LabelBox>& boxes() const { return boxes_; }

 private:
  bool isFree(const LabelBox& box, LayoutPoint ownAnchor) const;
  std::optional<LayoutSegment> leaderTo(LayoutPoint anchor, const LabelBox& box) const;
  std::vector<LayoutPoint> gridAround(LayoutPoint anchor, double width, double height) const;

  LabelBox inner_;
  LabelLayoutMeasures measures_;
  std::vector<LayoutSegment> lines_;
  std::vector<LabelBox> boxes_;
  std::vector<LayoutPoint> reserved_;
};

// The centres beside a segment's middle for a label `width` by `height`,
// `gap` off it: above and below a flat one, right and left of an upright one.
std::vector<LayoutPoint> centresBesideSegment(const LayoutSegment& segment, double width,
                                              double height, double gap);

}  // namespace propclear
