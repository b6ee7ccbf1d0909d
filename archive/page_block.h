// A block of committed pages, released by its destructor.
#pragma once

#include <cstdint>

class PageBlock {
 public:
  // Commits size bytes; throws the value kStatusNoMemory (0xC0000017) when
  // the platform gives no pages (size 0 included).
  explicit PageBlock(std::uint32_t size);
  PageBlock(const PageBlock&) = delete;
  PageBlock& operator=(const PageBlock&) = delete;
  virtual ~PageBlock();

  std::uint32_t size;
  void* pointer;
};
