// Character tests, stepping and collation in code page 932.
#include <cstring>

#include "platform/platform.h"
#include "platform/posix/posix_support.h"

namespace platform {

using posix::CharLength;
using posix::CharValue;
using posix::FoldToLower;

namespace {

char* Mutable(const char* p) { return const_cast<char*>(p); }

int Sign(unsigned a, unsigned b) { return a < b ? -1 : (a > b ? 1 : 0); }

// Collation classes of lstrcmpiA: Windows sorts symbols before digits before
// letters, then everything outside ASCII.
unsigned CollationWeight(unsigned folded) {
  if (folded >= '0' && folded <= '9') return 0x100 + folded;
  if (folded >= 'a' && folded <= 'z') return 0x200 + folded;
  if (folded < 0x80) return folded;
  return 0x300 + folded;
}

}  // namespace

bool IsDBCSLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

bool IsTrailByte(unsigned char byte) { return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC); }

char* CharNextA(const char* p) { return Mutable(p + CharLength(p)); }

char* CharPrevA(const char* start, const char* p) {
  const char* at = start;
  while (at < p && *at != '\0') {
    const char* next = at + CharLength(at);
    if (next >= p) break;
    at = next;
  }
  return Mutable(at);
}

int lstrlenA(const char* text) { return text == nullptr ? 0 : static_cast<int>(std::strlen(text)); }

// An approximation of Windows' locale collation with case ignored: letters
// fold to lower case, ASCII symbols sort before digits and digits before
// letters, each class in code order; characters outside ASCII follow in code
// order. So "data.pak" < "data_x.pak" < "data2.pak" < "dataA.pak", as on
// Windows. Hyphen and apostrophe are ordered as symbols, not ignored.
int lstrcmpiA(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return Sign(a != nullptr, b != nullptr);
  for (;;) {
    const unsigned wa = CollationWeight(FoldToLower(CharValue(a)));
    const unsigned wb = CollationWeight(FoldToLower(CharValue(b)));
    if (wa != wb) return Sign(wa, wb);
    if (*a == '\0') return 0;
    a += CharLength(a);
    b += CharLength(b);
  }
}

}  // namespace platform
