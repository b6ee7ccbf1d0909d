// Files and directories: attributes, listings, the current directory.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/posix_support.h"

namespace platform {

using posix::CharLength;
using posix::CharValue;
using posix::FoldToLower;

namespace {

// What Windows shows for a plain file: the archive bit.
constexpr DWORD kAttributeArchive = 0x20;
constexpr DWORD kAttributeReadOnly = 0x01;

DWORD AttributesOf(const struct stat& status) {
  if (S_ISDIR(status.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  DWORD attributes = kAttributeArchive;
  if ((status.st_mode & S_IWUSR) == 0) attributes |= kAttributeReadOnly;
  return attributes;
}

// "*" and "?" over code page 932 characters, letters compared without case.
bool MatchesFrom(const char* pattern, const char* name) {
  const char* starPattern = nullptr;
  const char* starName = nullptr;
  while (*name != '\0') {
    if (*pattern == '*') {
      starPattern = ++pattern;
      starName = name;
    } else if (*pattern != '\0' &&
               (*pattern == '?' || FoldToLower(CharValue(pattern)) == FoldToLower(CharValue(name)))) {
      pattern += CharLength(pattern);
      name += CharLength(name);
    } else if (starPattern != nullptr) {
      starName += CharLength(starName);
      pattern = starPattern;
      name = starName;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

// Windows lets a final ".*" match a name without an extension ("*.*" lists
// everything).
bool Matches(const std::string& pattern, const char* name) {
  if (MatchesFrom(pattern.c_str(), name)) return true;
  const std::size_t size = pattern.size();
  return size >= 2 && pattern.compare(size - 2, 2, ".*") == 0 && MatchesFrom(pattern.substr(0, size - 2).c_str(), name);
}

// NTFS lists a directory in the order of its names with letters made upper
// case; compared here on the UTF-8 names, which keeps the code point order.
bool ListedBefore(const std::string& a, const std::string& b) {
  const auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c; };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [&](char x, char y) { return upper(x) < upper(y); });
}

struct Listed {
  std::string systemName;
  FindData data;
};

// The matches of one FindFirstFileA, handed out one by one.
struct FindState {
  std::vector<Listed> entries;
  std::size_t next = 0;
};

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

// Splits a pattern at its last separator into directory and name pattern.
void SplitPattern(const char* pattern, std::string* directory, std::string* namePattern) {
  const char* lastSeparator = nullptr;
  for (const char* p = pattern; *p != '\0'; p += CharLength(p)) {
    if (*p == '\\' || *p == '/') lastSeparator = p;
  }
  if (lastSeparator == nullptr) {
    *directory = ".";
    *namePattern = pattern;
  } else if (lastSeparator == pattern) {
    *directory = "\\";
    *namePattern = pattern + 1;
  } else {
    directory->assign(pattern, lastSeparator);
    *namePattern = lastSeparator + 1;
  }
}

bool FillNext(FindState* state, FindData* data) {
  if (state->next >= state->entries.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return false;
  }
  *data = state->entries[state->next++].data;
  return true;
}

}  // namespace

DWORD GetFileAttributesA(const char* path) {
  const auto systemPath = posix::ToSystemPath(path);
  if (!systemPath) return INVALID_FILE_ATTRIBUTES;
  struct stat status {};
  if (stat(systemPath->c_str(), &status) != 0) {
    posix::SetLastErrorFromErrno(errno);
    return INVALID_FILE_ATTRIBUTES;
  }
  return AttributesOf(status);
}

FindHandle FindFirstFileA(const char* pattern, FindData* data) {
  if (pattern == nullptr || data == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_FIND_HANDLE;
  }
  std::string directory;
  std::string namePattern;
  SplitPattern(pattern, &directory, &namePattern);
  const auto systemDirectory = posix::ToSystemPath(directory.c_str());
  if (!systemDirectory) return INVALID_FIND_HANDLE;
  const std::unique_ptr<DIR, DirCloser> dir(opendir(systemDirectory->c_str()));
  if (!dir) {
    SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : posix::ErrorFromErrno(errno));
    return INVALID_FIND_HANDLE;
  }
  auto state = std::make_unique<FindState>();
  if (!namePattern.empty()) {
    while (const dirent* item = readdir(dir.get())) {
      Listed listed{item->d_name, {}};
      const std::string name = posix::FromSystemName(listed.systemName);
      // A name Windows could not hold in its MAX_PATH buffer is not listed.
      if (name.size() >= sizeof listed.data.fileName || !Matches(namePattern, name.c_str())) continue;
      struct stat status {};
      if (fstatat(dirfd(dir.get()), item->d_name, &status, 0) != 0) continue;
      listed.data.attributes = AttributesOf(status);
      std::memcpy(listed.data.fileName, name.c_str(), name.size() + 1);
      state->entries.push_back(std::move(listed));
    }
  }
  if (state->entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_FIND_HANDLE;
  }
  std::sort(state->entries.begin(), state->entries.end(),
            [](const Listed& a, const Listed& b) { return ListedBefore(a.systemName, b.systemName); });
  FillNext(state.get(), data);
  SetLastError(ERROR_SUCCESS);
  return state.release();
}

bool FindNextFileA(FindHandle handle, FindData* data) {
  if (handle == nullptr || handle == INVALID_FIND_HANDLE || data == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  return FillNext(static_cast<FindState*>(handle), data);
}

bool FindClose(FindHandle handle) {
  if (handle == nullptr || handle == INVALID_FIND_HANDLE) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  delete static_cast<FindState*>(handle);
  return true;
}

DWORD GetCurrentDirectoryA(DWORD size, char* buffer) {
  std::vector<char> cwd(4096);
  while (getcwd(cwd.data(), cwd.size()) == nullptr) {
    if (errno != ERANGE) {
      posix::SetLastErrorFromErrno(errno);
      return 0;
    }
    cwd.resize(cwd.size() * 2);
  }
  // Windows separators; the backend reads a leading "\" as the root again.
  std::string path = posix::FromSystemName(cwd.data());
  std::replace(path.begin(), path.end(), '/', '\\');
  if (buffer == nullptr || path.size() >= size) return static_cast<DWORD>(path.size() + 1);
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}

bool CreateDirectoryA(const char* path) {
  const auto systemPath = posix::ToSystemPath(path);
  if (!systemPath) return false;
  if (mkdir(systemPath->c_str(), 0777) != 0) {
    posix::SetLastErrorFromErrno(errno);
    return false;
  }
  return true;
}

bool GetVolumeInformationA(const char*, DWORD*, DWORD*) {
  SetLastError(ERROR_PATH_NOT_FOUND);
  return false;
}

std::FILE* OpenFile(const char* path, const char* mode) {
  const auto systemPath = posix::ToSystemPath(path);
  if (!systemPath) return nullptr;
  std::FILE* file = std::fopen(systemPath->c_str(), mode);
  if (file == nullptr) posix::SetLastErrorFromErrno(errno);
  return file;
}

}  // namespace platform
