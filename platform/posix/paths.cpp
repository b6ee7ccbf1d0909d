// Platform paths (code page 932, either separator) to file-system paths.
#include <string>

#include "platform/platform.h"
#include "platform/posix/posix_support.h"

namespace platform::posix {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::optional<std::string> ToSystemPath(const char* path) {
  if (path == nullptr || *path == '\0') {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return std::nullopt;
  }
  // "X:..." names a drive, and POSIX has none.
  if (IsAsciiLetter(path[0]) && path[1] == ':') {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return std::nullopt;
  }
  // Separators are found character-wise: a trail byte 0x5C is part of a name.
  std::string ansi;
  for (const char* p = path; *p != '\0'; p += CharLength(p)) {
    if (*p == '\\') {
      ansi.push_back('/');
    } else {
      ansi.append(p, CharLength(p));
    }
  }
  bool ok = false;
  std::string utf8 = AnsiToUtf8(ansi, &ok);
  if (!ok) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return std::nullopt;
  }
  return utf8;
}

std::string FromSystemName(const std::string& name) { return Utf8ToAnsi(name); }

}  // namespace platform::posix
