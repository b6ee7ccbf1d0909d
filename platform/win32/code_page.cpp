// Character stepping, searching and comparing in the ANSI code page, with the
// runtime's multi-byte routines set to that code page.
#include "platform/win32/win32_support.h"
// Last: <mbctype.h> defines macros (_M1, _M2) that break the C++ headers.
#include <mbctype.h>
#include <mbstring.h>

namespace platform {
namespace {

// The _mbs* routines follow the runtime's multi-byte code page, which starts
// out single-byte; set it once to the ANSI code page.
void UseAnsiCodePage() {
  static const bool done = (_setmbcp(_MB_CP_ANSI), true);
  (void)done;
}

const unsigned char* Bytes(const char* text) { return reinterpret_cast<const unsigned char*>(text); }
char* Chars(const unsigned char* text) { return reinterpret_cast<char*>(const_cast<unsigned char*>(text)); }

}  // namespace

bool IsDBCSLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

bool IsTrailByte(unsigned char byte) {
  UseAnsiCodePage();
  return _ismbbtrail(byte) != 0;
}

char* CharNextA(const char* p) { return ::CharNextA(p); }

char* CharPrevA(const char* start, const char* p) { return ::CharPrevA(start, p); }

char* FindChar(const char* text, unsigned ch) {
  UseAnsiCodePage();
  return Chars(_mbschr(Bytes(text), ch));
}

char* FindLastChar(const char* text, unsigned ch) {
  UseAnsiCodePage();
  return Chars(_mbsrchr(Bytes(text), ch));
}

char* FindText(const char* text, const char* sub) {
  UseAnsiCodePage();
  return Chars(_mbsstr(Bytes(text), Bytes(sub)));
}

std::size_t SpanOfSet(const char* text, const char* set) {
  UseAnsiCodePage();
  return _mbsspn(Bytes(text), Bytes(set));
}

char* FindFirstOfSet(const char* text, const char* set) {
  UseAnsiCodePage();
  return Chars(_mbspbrk(Bytes(text), Bytes(set)));
}

int CompareNoCase(const char* a, const char* b) {
  UseAnsiCodePage();
  return _mbsicmp(Bytes(a), Bytes(b));
}

int CompareNoCaseBytes(const char* a, const char* b, std::size_t count) {
  UseAnsiCodePage();
  return _mbsnbicmp(Bytes(a), Bytes(b), count);
}

int lstrlenA(const char* text) { return ::lstrlenA(text); }

int lstrcmpiA(const char* a, const char* b) { return ::lstrcmpiA(a, b); }

}  // namespace platform
