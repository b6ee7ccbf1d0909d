// Committed pages from VirtualAlloc.
#include "platform/shared/seams_state.h"
#include "platform/win32/win32_support.h"

namespace platform {

void* VirtualAlloc(std::size_t size) {
  if (seams_state::TakeVirtualAllocFailure()) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return ::VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

bool VirtualFree(void* address) { return ::VirtualFree(address, 0, MEM_RELEASE) != FALSE; }

}  // namespace platform
