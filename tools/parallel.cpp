// How many workers a job gets.
#include "tools/parallel.h"

#include <algorithm>

namespace paktool {

unsigned WorkerCount(std::size_t count, unsigned requested) {
  // Below this many entries threads cost more than they save.
  constexpr std::size_t kManyEntries = 8;
  if (count < kManyEntries) return 1;
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const unsigned wanted = requested != 0 ? requested : cores;
  return static_cast<unsigned>(std::min<std::size_t>(wanted, count));
}

}  // namespace paktool
