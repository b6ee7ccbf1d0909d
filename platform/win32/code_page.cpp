// Character tests, stepping and collation of the ANSI code page.
#include "platform/win32/win32_support.h"
// Last: <mbctype.h> defines macros (_M1, _M2) that break the C++ headers.
#include <mbctype.h>

namespace platform {
namespace {

// _ismbbtrail follows the runtime's multi-byte code page, which starts out
// single-byte; set it once to the ANSI code page.
void UseAnsiCodePage() {
  static const bool done = (_setmbcp(_MB_CP_ANSI), true);
  (void)done;
}

}  // namespace

bool IsDBCSLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

bool IsTrailByte(unsigned char byte) {
  UseAnsiCodePage();
  return _ismbbtrail(byte) != 0;
}

char* CharNextA(const char* p) { return ::CharNextA(p); }

char* CharPrevA(const char* start, const char* p) { return ::CharPrevA(start, p); }

int lstrlenA(const char* text) { return ::lstrlenA(text); }

int lstrcmpiA(const char* a, const char* b) { return ::lstrcmpiA(a, b); }

}  // namespace platform
