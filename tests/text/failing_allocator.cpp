// Replaces the global operator new and delete of the test binary with
// malloc/free plus a countdown that makes one chosen allocation fail.
#include "tests/text/failing_allocator.h"

#include <cstdlib>
#include <new>

namespace {

std::int64_t allocations = 0;
std::int64_t failAt = -1;  // value of allocations that fails; -1: none

void* Allocate(std::size_t size) {
  if (failAt >= 0 && allocations == failAt) {
    failAt = -1;
    throw std::bad_alloc();
  }
  ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

}  // namespace

namespace failing_allocator {

std::int64_t Count() { return allocations; }

void FailAt(std::int64_t index) { failAt = index < 0 ? -1 : allocations + index; }

}  // namespace failing_allocator

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
