// Ordered parallel work: results are prepared on worker threads and consumed
// on the calling thread strictly in index order, so output is deterministic.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace paktool {

// Worker threads for count items: 1 for few items, else the cores (at most
// requested when it is not 0).
unsigned WorkerCount(std::size_t count, unsigned requested);

// Calls prepare(i, worker) for every i below count on `workers` threads and
// consume(i, result) on the calling thread in the order of i. At most two
// results per worker wait for consumption, which bounds memory. An exception
// from prepare or consume stops the work and is rethrown here.
template <typename Result>
void RunOrdered(std::size_t count, unsigned workers, const std::function<Result(std::size_t, unsigned)>& prepare,
                const std::function<void(std::size_t, Result&)>& consume) {
  if (workers <= 1) {
    for (std::size_t i = 0; i < count; ++i) {
      Result result = prepare(i, 0);
      consume(i, result);
    }
    return;
  }
  struct Slot {
    Result result;
    std::exception_ptr error;
  };
  std::mutex mutex;
  std::condition_variable changed;
  std::map<std::size_t, Slot> ready;
  std::size_t next = 0;
  std::size_t consumed = 0;
  bool stop = false;
  const std::size_t window = std::size_t{workers} * 2;

  auto work = [&](unsigned worker) {
    for (;;) {
      std::size_t i = 0;
      {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return stop || next >= count || next < consumed + window; });
        if (stop || next >= count) return;
        i = next++;
      }
      Slot slot{};
      try {
        slot.result = prepare(i, worker);
      } catch (...) {
        slot.error = std::current_exception();
      }
      std::lock_guard<std::mutex> lock(mutex);
      ready.emplace(i, std::move(slot));
      changed.notify_all();
    }
  };
  std::vector<std::thread> threads;
  auto finish = [&] {
    {
      std::lock_guard<std::mutex> lock(mutex);
      stop = true;
    }
    changed.notify_all();
    for (std::thread& thread : threads) thread.join();
  };
  for (unsigned w = 0; w < workers; ++w) threads.emplace_back(work, w);
  try {
    for (std::size_t i = 0; i < count; ++i) {
      Slot slot;
      {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return ready.count(i) != 0; });
        auto found = ready.find(i);
        slot = std::move(found->second);
        ready.erase(found);
      }
      if (slot.error) std::rethrow_exception(slot.error);
      consume(i, slot.result);
      {
        std::lock_guard<std::mutex> lock(mutex);
        consumed = i + 1;
      }
      changed.notify_all();
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

}  // namespace paktool
