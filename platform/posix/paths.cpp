// Platform paths (code page 932, either separator) to file-system paths.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/posix/posix_support.h"

namespace platform::posix {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

// The entry of directory whose name equals name without regard to case, the
// way Windows compares names (in code page 932), or "" when there is none.
std::string FindNameIgnoringCase(const std::string& directory, const std::string& name) {
  const std::unique_ptr<DIR, int (*)(DIR*)> stream(opendir(directory.empty() ? "." : directory.c_str()), closedir);
  if (!stream) return {};
  const std::string wanted = Utf8ToAnsi(name);
  while (const dirent* item = readdir(stream.get())) {
    if (CompareNoCase(Utf8ToAnsi(item->d_name).c_str(), wanted.c_str()) == 0) return item->d_name;
  }
  return {};
}

// Windows finds "Script\Product.INI" when the disk holds script/product.ini:
// where a component does not exist as written, take the entry that matches
// it without regard to case. Components past the first missing one (a file
// about to be created) stay as written.
std::string ResolveCase(const std::string& path) {
  if (Exists(path)) return path;
  const bool absolute = !path.empty() && path[0] == '/';
  std::string resolved(absolute ? 1 : 0, '/');
  bool matching = true;
  std::size_t start = absolute ? 1 : 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    std::string component = path.substr(start, end - start);
    if (matching && !component.empty() && component != "." && component != "..") {
      std::string candidate = resolved;
      candidate.append(component);
      if (!Exists(candidate)) {
        std::string found = FindNameIgnoringCase(resolved, component);
        matching = !found.empty();
        if (matching) component = std::move(found);
      }
    }
    resolved.append(component);
    if (end < path.size()) resolved.push_back('/');
    start = end + 1;
  }
  return resolved;
}

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
  return ResolveCase(utf8);
}

std::string FromSystemName(const std::string& name) { return Utf8ToAnsi(name); }

}  // namespace platform::posix
