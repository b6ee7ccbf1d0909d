// A global operator new for the text tests that can be told to fail once.
#pragma once

#include <cstdint>

namespace failing_allocator {

// Allocations made through the global operator new so far.
std::int64_t Count();

// Makes the allocation index places ahead (0: the next one) throw
// std::bad_alloc; a negative index disarms.
void FailAt(std::int64_t index);

// Arms FailAt(index) for its lifetime.
class Armed {
 public:
  explicit Armed(std::int64_t index) { FailAt(index); }
  Armed(const Armed&) = delete;
  Armed& operator=(const Armed&) = delete;
  ~Armed() { FailAt(-1); }
};

}  // namespace failing_allocator
