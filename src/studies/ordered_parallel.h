#pragma once
// Computes many independent items on every core and hands them on in index
// order, holding no more than two chunks of items at a time: while the
// calling thread hands on one chunk, the worker threads compute the next. So
// a study of ten million designs needs no more memory than one of a hundred,
// and its rows come out in order as soon as they are ready.

#include <cstdint>
#include <functional>
#include <vector>

namespace propclear {

struct ParallelPlan {
  std::uint64_t count = 0;       // items 0 .. count-1
  unsigned threads = 1;          // worker threads, 1 or more
  std::uint64_t chunkSize = 1024;
};

// The worker threads: all cores (at least one).
unsigned allCores();

// Runs compute(index, slot, worker) for every index on the worker threads,
// then handOn(first, last, slot) on the calling thread for each chunk
// [first, last) in order. `slot` (0 or 1) says which of two chunk buffers the
// index belongs to: compute fills slot's entry index - first, handOn reads
// them. `worker` (0 .. threads-1) names the thread, for state of its own. An
// exception thrown by compute stops the work and is rethrown here, after
// every thread has stopped; so is one thrown by handOn.
using ComputeItem = std::function<void(std::uint64_t index, int slot, unsigned worker)>;
void computeInOrder(const ParallelPlan& plan, const ComputeItem& compute,
                    const std::function<void(std::uint64_t first, std::uint64_t last, int slot)>& handOn);

// The same with the buffers kept here: compute(index, worker) gives an item,
// and handOn receives each item in index order.
template <class Item>
void mapInOrder(const ParallelPlan& plan,
                const std::function<Item(std::uint64_t index, unsigned worker)>& compute,
                const std::function<void(Item&)>& handOn) {
  std::vector<Item> slots[2];
  for (std::vector<Item>& slot : slots) slot.resize(plan.chunkSize);
  computeInOrder(
      plan,
      [&](std::uint64_t index, int slot, unsigned worker) {
        slots[slot][index % plan.chunkSize] = compute(index, worker);
      },
      [&](std::uint64_t first, std::uint64_t last, int slot) {
        for (std::uint64_t index = first; index < last; ++index) {
          handOn(slots[slot][index % plan.chunkSize]);
        }
      });
}

}  // namespace propclear
