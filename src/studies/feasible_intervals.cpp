#include "studies/feasible_intervals.h"

#include <algorithm>

namespace propclear {

namespace {

std::vector<std::int64_t> scanIndices(std::int64_t lastIndex, std::int64_t stride) {
  std::vector<std::int64_t> indices;
  for (std::int64_t index = 0; index < lastIndex; index += stride) indices.push_back(index);
  indices.push_back(lastIndex);
  return indices;
}

// The last index from `low` towards `high` that is as feasible as `low` is,
// when `high` is not; the index after it is then the first that differs.
std::int64_t lastAlike(std::int64_t low, std::int64_t high, bool lowFeasible,
                       const FeasibilityOf& feasibilityOf) {
  while (high - low > 1) {
    const std::int64_t middle = low + (high - low) / 2;
    if (feasibilityOf({middle}).front() == lowFeasible) {
      low = middle;
    } else {
      high = middle;
    }
  }
  return low;
}

}  // namespace

std::vector<IndexInterval> findFeasibleIntervals(std::int64_t lastIndex, std::int64_t stride,
                                                 const FeasibilityOf& feasibilityOf) {
  const std::vector<std::int64_t> scanned = scanIndices(lastIndex, std::max<std::int64_t>(1, stride));
  const std::vector<bool> feasible = feasibilityOf(scanned);
  std::vector<IndexInterval> intervals;
  if (feasible.front()) intervals.push_back({0, lastIndex});
  for (std::size_t i = 0; i + 1 < scanned.size(); ++i) {
    if (feasible[i] == feasible[i + 1]) continue;
    const std::int64_t edge = lastAlike(scanned[i], scanned[i + 1], feasible[i], feasibilityOf);
    if (feasible[i]) {
      intervals.back().last = edge;
    } else {
      intervals.push_back({edge + 1, lastIndex});
    }
  }
  return intervals;
}

}  // namespace propclear
