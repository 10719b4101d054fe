// The label layout on a small drawing: a label takes its first free
// preferred place, beside its point without a leader; a line or an earlier
// label pushes it to the nearest free place with a leader that runs through
// no label; a point another label starts from stays uncovered; and a drawing
// with no room leaves the label unplaced rather than overprinting.

#include "sheet/label_layout.h"

#include <gtest/gtest.h>

namespace propclear {
namespace {

constexpr LabelLayoutMeasures measures{1.0, 4.0, 1.0, 2.0};

TEST(LabelLayout, FirstFreePreferredPlaceThenTheNearestWithALeader) {
  PlacedLabels layout({0.0, 0.0, 200.0, 100.0}, measures);
  layout.addLine({{0.0, 50.0}, {200.0, 50.0}});
  // Above the line, beside its point: no leader.
  const auto above = layout.place({100.0, 50.0}, 40.0, 10.0, {{100.0, 50.0}, {100.0, 43.0}});
  ASSERT_TRUE(above);
  EXPECT_DOUBLE_EQ(above->box.top, 38.0);
  EXPECT_FALSE(above->leader);
  // The same place again is taken: the next is below the line.
  const auto below = layout.place({100.0, 50.0}, 40.0, 10.0, {{100.0, 43.0}, {100.0, 57.0}});
  ASSERT_TRUE(below);
  EXPECT_DOUBLE_EQ(below->box.top, 52.0);
  // Neither preferred place is free: the nearest on the grid, with a leader
  // from the point that stops short of the label and crosses neither box.
  const auto third = layout.place({100.0, 50.0}, 40.0, 10.0, {{100.0, 43.0}, {100.0, 57.0}});
  ASSERT_TRUE(third);
  ASSERT_TRUE(third->leader);
  EXPECT_FALSE(third->box.intersects(above->box));
  EXPECT_FALSE(third->box.intersects(below->box));
  EXPECT_FALSE(segmentCrossesBox(*third->leader, above->box));
  EXPECT_FALSE(segmentCrossesBox(*third->leader, below->box));
  EXPECT_FALSE(segmentCrossesBox(*third->leader, third->box));
  EXPECT_EQ(layout.lines().size(), 2u) << "the leader is ink for later labels";
}

TEST(LabelLayout, ReservedPointStaysUncoveredAndNoRoomLeavesTheLabelOut) {
  PlacedLabels layout({0.0, 0.0, 60.0, 20.0}, measures);
  layout.reserve({30.0, 10.0});
  const auto placed = layout.place({10.0, 10.0}, 20.0, 8.0, {{30.0, 10.0}});
  ASSERT_TRUE(placed);
  EXPECT_FALSE(placed->box.grown(measures.clearance).contains(LayoutPoint{30.0, 10.0}));
  // Wider than the drawing: no place, nothing taken.
  EXPECT_FALSE(layout.place({30.0, 10.0}, 80.0, 8.0, {{30.0, 10.0}}));
  EXPECT_EQ(layout.boxes().size(), 1u);
}

TEST(LabelLayout, SegmentCrossesABoxThroughItsSidesOrFromInside) {
  const LabelBox box{10.0, 10.0, 20.0, 20.0};
  EXPECT_TRUE(segmentCrossesBox({{0.0, 15.0}, {30.0, 15.0}}, box));   // straight through
  EXPECT_TRUE(segmentCrossesBox({{15.0, 15.0}, {40.0, 40.0}}, box));  // from inside
  EXPECT_FALSE(segmentCrossesBox({{5.0, 12.0}, {12.0, 5.0}}, {5.0, 5.0, 8.0, 8.0}));  // past a corner
  EXPECT_FALSE(segmentCrossesBox({{0.0, 0.0}, {30.0, 5.0}}, box));    // above it
  EXPECT_FALSE(segmentCrossesBox({{25.0, 0.0}, {25.0, 30.0}}, box));  // beside it
}

}  // namespace
}  // namespace propclear
