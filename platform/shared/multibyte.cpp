// Searching and comparing character-wise in the ANSI code page. Both backends
// use these rather than the C runtime's _mbs* routines, some of which step past
// the NUL after a lone lead byte or match inside a double-byte character.
#include "platform/shared/multibyte.h"

#include <cstdint>
#include <cstring>

namespace platform {

using multibyte::CharLength;
using multibyte::CharValue;
using multibyte::FoldToLower;

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

// Bytes of whole characters, found by stepping forward one character at a
// time, that a and b share byte for byte within count: those compare equal
// whatever the folding, so only the rest needs it. Stops before a NUL, a
// character cut by count and a lead byte standing alone before a NUL, whose
// length depends on the byte after it.
std::size_t IdenticalPrefix(const char* a, const char* b, std::size_t count) {
  std::size_t offset = 0;
  while (offset < count && a[offset] == b[offset] && a[offset] != '\0') {
    const std::size_t length = CharLength(a + offset);
    if (length == 1 ? IsDBCSLeadByte(static_cast<unsigned char>(a[offset]))
                    : offset + 1 >= count || a[offset + 1] != b[offset + 1]) {
      break;
    }
    offset += length;
  }
  return offset;
}

int Sign(unsigned a, unsigned b) { return a < b ? -1 : (a > b ? 1 : 0); }

}  // namespace

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

int CompareNoCase(const char* a, const char* b) { return CompareNoCaseBytes(a, b, SIZE_MAX); }

// A count that ends inside a double-byte character compares that lead byte
// as it stands: exactly the first count bytes decide, none beyond them.
int CompareNoCaseBytes(const char* a, const char* b, std::size_t count) {
  while (count > 0) {
    const std::size_t same = IdenticalPrefix(a, b, count);
    a += same;
    b += same;
    count -= same;
    if (count == 0) return 0;
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

}  // namespace platform
