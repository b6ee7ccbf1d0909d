// Conversions between the ANSI code page and UTF-8 through UTF-16.
#include <string>

#include "platform/win32/win32_support.h"

namespace platform {
namespace {

// Text in code page `from` as UTF-16; *ok false when a byte had no meaning.
std::wstring ToWide(UINT from, const std::string& text, bool* ok) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  DWORD flags = MB_ERR_INVALID_CHARS;
  int length = ::MultiByteToWideChar(from, flags, text.data(), size, nullptr, 0);
  if (length == 0) {
    *ok = false;
    flags = 0;
    length = ::MultiByteToWideChar(from, flags, text.data(), size, nullptr, 0);
  }
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(from, flags, text.data(), size, wide.data(), length);
  return wide;
}

std::string FromWide(UINT to, const std::wstring& wide, bool* ok) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  // UTF-8 takes no default character; the ANSI code page puts "?".
  const bool utf8 = to == CP_UTF8;
  BOOL usedDefault = FALSE;
  const char* fallback = utf8 ? nullptr : "?";
  BOOL* used = utf8 ? nullptr : &usedDefault;
  const int length = ::WideCharToMultiByte(to, 0, wide.data(), size, nullptr, 0, fallback, used);
  std::string text(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(to, 0, wide.data(), size, text.data(), length, fallback, used);
  if (usedDefault) *ok = false;
  return text;
}

std::string Convert(UINT from, UINT to, const std::string& text, bool* ok) {
  bool converted = true;
  std::string result = FromWide(to, ToWide(from, text, &converted), &converted);
  if (ok != nullptr) *ok = converted;
  return result;
}

}  // namespace

std::string AnsiToUtf8(const std::string& ansi, bool* ok) { return Convert(CP_ACP, CP_UTF8, ansi, ok); }

std::string Utf8ToAnsi(const std::string& utf8, bool* ok) { return Convert(CP_UTF8, CP_ACP, utf8, ok); }

}  // namespace platform
