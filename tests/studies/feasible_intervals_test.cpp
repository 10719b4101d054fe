// The search for feasible stretches: every change between feasible and
// infeasible found by the scan is refined to neighbouring indices.

#include <gtest/gtest.h>

#include "studies/feasible_intervals.h"

namespace propclear {
namespace {

// Feasible inside any of the stretches [first, last]; counts the indices asked.
struct Stretches {
  std::vector<IndexInterval> truth;
  std::size_t asked = 0;

  FeasibilityOf predicate() {
    return [this](const std::vector<std::int64_t>& indices) {
      std::vector<bool> feasible;
      for (std::int64_t index : indices) {
        ++asked;
        bool inside = false;
        for (const IndexInterval& stretch : truth) inside |= stretch.first <= index && index <= stretch.last;
        feasible.push_back(inside);
      }
      return feasible;
    };
  }
};

void expectIntervals(const std::vector<IndexInterval>& found, const std::vector<IndexInterval>& expected) {
  ASSERT_EQ(found.size(), expected.size());
  for (std::size_t i = 0; i < found.size(); ++i) {
    EXPECT_EQ(found[i].first, expected[i].first) << "interval " << i;
    EXPECT_EQ(found[i].last, expected[i].last) << "interval " << i;
  }
}

TEST(FeasibleIntervals, EdgesRefinedToTheIndex) {
  Stretches stretches{{{0, 1234}, {1501, 1777}, {2995, 3000}}};
  const auto found = findFeasibleIntervals(3000, 10, stretches.predicate());
  expectIntervals(found, stretches.truth);
  // 301 scanned values and a few bisection steps per edge, not all 3001.
  EXPECT_LT(stretches.asked, 301u + 5 * 4 + 1);
}

TEST(FeasibleIntervals, StretchesInsideTheRange) {
  Stretches stretches{{{7, 7}, {33, 57}}};
  expectIntervals(findFeasibleIntervals(100, 10, stretches.predicate()), {{33, 57}});
  // A stretch narrower than the scan step is seen only when a scanned index
  // falls into it.
  Stretches onGrid{{{70, 70}}};
  expectIntervals(findFeasibleIntervals(100, 10, onGrid.predicate()), {{70, 70}});
}

TEST(FeasibleIntervals, NoneAllAndLastIndexOffTheStride) {
  Stretches none{{}};
  EXPECT_TRUE(findFeasibleIntervals(95, 10, none.predicate()).empty());
  Stretches all{{{0, 95}}};
  expectIntervals(findFeasibleIntervals(95, 10, all.predicate()), {{0, 95}});
  Stretches tail{{{93, 95}}};
  expectIntervals(findFeasibleIntervals(95, 10, tail.predicate()), {{93, 95}});
  Stretches single{{{0, 0}}};
  expectIntervals(findFeasibleIntervals(0, 10, single.predicate()), {{0, 0}});
}

}  // namespace
}  // namespace propclear
