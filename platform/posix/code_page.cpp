// Character stepping, searching and comparing in code page 932.
#include <cstring>

#include "platform/platform.h"
#include "platform/posix/posix_support.h"

namespace platform {

using posix::CharLength;
using posix::CharValue;
using posix::FoldToLower;

namespace {

char* Mutable(const char* p) { return const_cast<char*>(p); }

// True when the character at p is one of the characters of set.
bool InSet(const char* p, const char* set) {
  const unsigned ch = CharValue(p);
  for (const char* s = set; *s != '\0'; s += CharLength(s)) {
    if (CharValue(s) == ch) return true;
  }
  return false;
}

// Folded value of the character at p when all of it lies within the bytes
// left; a character cut by the count is compared by its lead byte alone.
unsigned FoldedWithin(const char* p, std::size_t left, std::size_t* length) {
  *length = CharLength(p);
  if (*length > left) {
    *length = left;
    return static_cast<unsigned char>(*p);
  }
  return FoldToLower(CharValue(p));
}

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

char* FindChar(const char* text, unsigned ch) {
  for (const char* p = text;; p += CharLength(p)) {
    if (CharValue(p) == ch) return Mutable(p);
    if (*p == '\0') return nullptr;
  }
}

char* FindLastChar(const char* text, unsigned ch) {
  const char* found = nullptr;
  for (const char* p = text;; p += CharLength(p)) {
    if (CharValue(p) == ch) found = p;
    if (*p == '\0') return Mutable(found);
  }
}

char* FindText(const char* text, const char* sub) {
  const std::size_t length = std::strlen(sub);
  for (const char* p = text;; p += CharLength(p)) {
    if (std::strncmp(p, sub, length) == 0) return Mutable(p);
    if (*p == '\0') return nullptr;
  }
}

std::size_t SpanOfSet(const char* text, const char* set) {
  const char* p = text;
  while (*p != '\0' && InSet(p, set)) p += CharLength(p);
  return static_cast<std::size_t>(p - text);
}

char* FindFirstOfSet(const char* text, const char* set) {
  for (const char* p = text; *p != '\0'; p += CharLength(p)) {
    if (InSet(p, set)) return Mutable(p);
  }
  return nullptr;
}

int CompareNoCase(const char* a, const char* b) {
  for (;;) {
    const unsigned ca = FoldToLower(CharValue(a));
    const unsigned cb = FoldToLower(CharValue(b));
    if (ca != cb) return Sign(ca, cb);
    if (ca == 0) return 0;
    a += CharLength(a);
    b += CharLength(b);
  }
}

// A count that ends inside a double-byte character compares that lead byte
// as it stands: exactly the first count bytes decide, none beyond them.
int CompareNoCaseBytes(const char* a, const char* b, std::size_t count) {
  while (count > 0) {
    std::size_t lengthA = 0;
    std::size_t lengthB = 0;
    const unsigned ca = FoldedWithin(a, count, &lengthA);
    const unsigned cb = FoldedWithin(b, count, &lengthB);
    if (ca != cb) return Sign(ca, cb);
    if (ca == 0) return 0;
    a += lengthA;
    b += lengthB;
    count -= lengthA;
  }
  return 0;
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
