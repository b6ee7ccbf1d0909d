// Committed pages from mmap, released whole as VirtualFree(MEM_RELEASE) does.
#include <sys/mman.h>

#include <map>
#include <mutex>

#include "platform/platform.h"
#include "platform/shared/seams_state.h"

namespace platform {
namespace {

// munmap needs the length that VirtualFree is not given.
struct Reservations {
  std::mutex mutex;
  std::map<void*, std::size_t> sizes;
};

Reservations& Reserved() {
  static Reservations reservations;
  return reservations;
}

}  // namespace

void* VirtualAlloc(std::size_t size) {
  if (size == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (seams_state::TakeVirtualAllocFailure()) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  void* pages = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages == MAP_FAILED) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::lock_guard lock(Reserved().mutex);
  Reserved().sizes.emplace(pages, size);
  return pages;
}

bool VirtualFree(void* address) {
  std::size_t size = 0;
  {
    std::lock_guard lock(Reserved().mutex);
    const auto found = Reserved().sizes.find(address);
    if (found == Reserved().sizes.end()) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return false;
    }
    size = found->second;
    Reserved().sizes.erase(found);
  }
  munmap(address, size);
  return true;
}

}  // namespace platform
