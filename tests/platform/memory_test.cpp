// Committed pages and the seam that makes their reservation fail.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/platform.h"
#include "platform/seams.h"

namespace {

TEST(Memory, PagesAreWritableAndReleasedOnce) {
  constexpr std::size_t kSize = 3 * 4096 + 17;
  void* pages = platform::VirtualAlloc(kSize);
  ASSERT_NE(pages, nullptr);
  std::memset(pages, 0xAB, kSize);
  EXPECT_EQ(static_cast<unsigned char*>(pages)[kSize - 1], 0xAB);
  EXPECT_TRUE(platform::VirtualFree(pages));
  EXPECT_FALSE(platform::VirtualFree(pages));
}

TEST(Memory, ZeroBytesCannotBeReserved) {
  EXPECT_EQ(platform::VirtualAlloc(0), nullptr);
  EXPECT_EQ(platform::GetLastError(), platform::ERROR_INVALID_PARAMETER);
}

TEST(Memory, SeamFailsExactlyTheNextCalls) {
  platform::seams::FailNextVirtualAllocs(2);
  EXPECT_EQ(platform::VirtualAlloc(4096), nullptr);
  EXPECT_EQ(platform::VirtualAlloc(4096), nullptr);
  void* pages = platform::VirtualAlloc(4096);
  EXPECT_NE(pages, nullptr);
  EXPECT_TRUE(platform::VirtualFree(pages));
}

}  // namespace
