// Items computed on several threads come out in index order, whatever the
// chunk size, and a fault in one item stops the work and reaches the caller.

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "studies/ordered_parallel.h"

namespace propclear {
namespace {

TEST(OrderedParallel, HandsItemsOnInIndexOrder) {
  for (const std::uint64_t chunk : {1u, 7u, 64u, 5000u}) {
    std::vector<std::uint64_t> seen;
    mapInOrder<std::uint64_t>(
        {1000, 4, chunk},
        [](std::uint64_t index, unsigned) {
          // Uneven work, so that threads finish out of order.
          if (index % 13 == 0) std::this_thread::sleep_for(std::chrono::microseconds(50));
          return index * index;
        },
        [&](std::uint64_t& item) { seen.push_back(item); });
    ASSERT_EQ(seen.size(), 1000u) << "chunk " << chunk;
    for (std::uint64_t i = 0; i < seen.size(); ++i) ASSERT_EQ(seen[i], i * i) << "chunk " << chunk;
  }
}

TEST(OrderedParallel, EachWorkerOwnsItsState) {
  // Plain counters, one per worker: a worker number shared by two threads
  // would lose counts (and upset the thread sanitizer).
  std::vector<std::uint64_t> counts(3, 0);
  std::uint64_t handedOn = 0;
  mapInOrder<int>(
      {10000, 3, 256},
      [&](std::uint64_t, unsigned worker) {
        ++counts.at(worker);
        return 0;
      },
      [&](int&) { ++handedOn; });
  EXPECT_EQ(counts[0] + counts[1] + counts[2], 10000u);
  EXPECT_EQ(handedOn, 10000u);
}

TEST(OrderedParallel, AFaultStopsTheWorkAndIsRethrown) {
  std::uint64_t handedOn = 0;
  EXPECT_THROW(mapInOrder<int>(
                   {100000, 3, 100},
                   [](std::uint64_t index, unsigned) {
                     if (index == 4321) throw std::runtime_error("fault");
                     return 0;
                   },
                   [&](int&) { ++handedOn; }),
               std::runtime_error);
  // Chunks after the faulty one are never handed on.
  EXPECT_LE(handedOn, 4300u);
  EXPECT_THROW(mapInOrder<int>(
                   {1000, 2, 10}, [](std::uint64_t, unsigned) { return 0; },
                   [](int&) { throw std::runtime_error("cannot write"); }),
               std::runtime_error);
}

}  // namespace
}  // namespace propclear
