#include "studies/ordered_parallel.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace propclear {

namespace {

// Items a worker takes at a time: few enough to share a chunk's tail evenly,
// enough to keep the shared counter quiet.
constexpr std::uint64_t itemsPerTake = 8;

// Threads that compute one chunk at a time, started and awaited by the
// calling thread.
class WorkerPool {
 public:
  WorkerPool(unsigned threads, const ComputeItem& compute) : compute_(compute) {
    for (unsigned worker = 0; worker < threads; ++worker) {
      threads_.emplace_back([this, worker] { work(worker); });
    }
  }

  ~WorkerPool() {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    failed_ = true;
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }

  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  void start(std::uint64_t first, std::uint64_t last, int slot) {
    {
      const std::lock_guard lock(mutex_);
      next_ = first;
      last_ = last;
      slot_ = slot;
      busy_ = static_cast<unsigned>(threads_.size());
      ++generation_;
    }
    wake_.notify_all();
  }

  // Waits for the chunk; rethrows what a worker threw.
  void finish() {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return busy_ == 0; });
    if (error_) std::rethrow_exception(error_);
  }

 private:
  void work(unsigned worker) {
    std::uint64_t seen = 0;
    for (;;) {
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
        if (stopping_) return;
        seen = generation_;
      }
      computeShare(worker);
      const std::lock_guard lock(mutex_);
      if (--busy_ == 0) done_.notify_one();
    }
  }

  void computeShare(unsigned worker) {
    for (;;) {
      const std::uint64_t from = next_.fetch_add(itemsPerTake);
      if (from >= last_ || failed_) return;
      const std::uint64_t to = std::min(from + itemsPerTake, last_);
      try {
        for (std::uint64_t index = from; index < to; ++index) compute_(index, slot_, worker);
      } catch (...) {
        const std::lock_guard lock(mutex_);
        if (!error_) error_ = std::current_exception();
        failed_ = true;
        return;
      }
    }
  }

  const ComputeItem& compute_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  std::uint64_t generation_ = 0;
  bool stopping_ = false;
  unsigned busy_ = 0;
  std::exception_ptr error_;
  std::atomic<std::uint64_t> next_{0};
  std::atomic<bool> failed_{false};
  std::uint64_t last_ = 0;
  int slot_ = 0;
  std::vector<std::thread> threads_;  // last: started once everything else is set up
};

}  // namespace

unsigned allCores() { return std::max(1u, std::thread::hardware_concurrency()); }

void computeInOrder(const ParallelPlan& plan, const ComputeItem& compute,
                    const std::function<void(std::uint64_t first, std::uint64_t last, int slot)>& handOn) {
  if (plan.count == 0) return;
  WorkerPool pool(std::max(1u, plan.threads), compute);
  const std::uint64_t chunk = std::max<std::uint64_t>(1, plan.chunkSize);
  std::uint64_t readyFirst = 0;
  std::uint64_t readyLast = 0;
  int slot = 0;
  for (std::uint64_t first = 0; first < plan.count; first += chunk) {
    const std::uint64_t last = std::min(first + chunk, plan.count);
    pool.start(first, last, slot);
    if (readyLast > readyFirst) handOn(readyFirst, readyLast, 1 - slot);
    pool.finish();
    readyFirst = first;
    readyLast = last;
    slot = 1 - slot;
  }
  handOn(readyFirst, readyLast, 1 - slot);
}

}  // namespace propclear
