// PageBlock: committed pages from the platform's virtual memory.
#include "archive/page_block.h"

#include "errors/oc_exception.h"
#include "platform/platform.h"

PageBlock::PageBlock(std::uint32_t size) : size(size), pointer(platform::VirtualAlloc(size)) {
  if (pointer == nullptr) throw kStatusNoMemory;
}

PageBlock::~PageBlock() {
  if (pointer != nullptr) platform::VirtualFree(pointer);
  pointer = nullptr;
  size = 0;
}
