#pragma once
// The feasible stretches of one parameter, found on a grid of indices
// 0..lastIndex: every `stride`-th index is scanned (and the last), and every
// change between feasible and infeasible from one scanned index to the next
// is refined by bisection down to neighbouring indices. Clearances are not
// monotonic in a parameter, so a range may hold several stretches; one that
// lies wholly between two scanned indices is not seen.

#include <cstdint>
#include <functional>
#include <vector>

namespace propclear {

struct IndexInterval {
  std::int64_t first = 0;  // feasible, inclusive
  std::int64_t last = 0;   // feasible, inclusive
};

// Feasibility of each of the given indices; may compute them in parallel.
using FeasibilityOf = std::function<std::vector<bool>(const std::vector<std::int64_t>& indices)>;

// Every feasible stretch in increasing order; empty when the scan finds none.
std::vector<IndexInterval> findFeasibleIntervals(std::int64_t lastIndex, std::int64_t stride,
                                                 const FeasibilityOf& feasibilityOf);

}  // namespace propclear
