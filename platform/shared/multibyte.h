// Characters of the ANSI code page as the searching and comparing operations
// see them; the lead-byte test is the backend's own IsDBCSLeadByte.
#pragma once

#include <cstddef>

#include "platform/platform.h"

namespace platform::multibyte {

// Bytes taken by the character at p: 0 at the NUL, 2 for a lead byte with a
// byte after it, else 1 (a lead byte before the NUL stands alone).
inline std::size_t CharLength(const char* p) {
  if (*p == '\0') return 0;
  return IsDBCSLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0' ? 2 : 1;
}

// The character at p as a byte or lead * 256 + trail.
inline unsigned CharValue(const char* p) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(p);
  return CharLength(p) == 2 ? bytes[0] * 256u + bytes[1] : bytes[0];
}

// Folds ASCII and full-width Latin capitals to their small letters.
inline unsigned FoldToLower(unsigned ch) {
  if (ch >= 'A' && ch <= 'Z') return ch + ('a' - 'A');
  if (ch >= 0x8260 && ch <= 0x8279) return ch + 0x21;
  return ch;
}

}  // namespace platform::multibyte
