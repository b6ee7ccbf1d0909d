// Files and directories through the ANSI Windows calls.
#include <cstring>

#include "platform/win32/win32_support.h"

namespace platform {
namespace {

void CopyFindData(const WIN32_FIND_DATAA& from, FindData* to) {
  to->attributes = from.dwFileAttributes;
  static_assert(sizeof to->fileName == sizeof from.cFileName);
  std::memcpy(to->fileName, from.cFileName, sizeof to->fileName);
}

}  // namespace

DWORD GetFileAttributesA(const char* path) { return ::GetFileAttributesA(path); }

FindHandle FindFirstFileA(const char* pattern, FindData* data) {
  WIN32_FIND_DATAA found{};
  HANDLE handle = ::FindFirstFileA(pattern, &found);
  if (handle != INVALID_HANDLE_VALUE) CopyFindData(found, data);
  return handle == INVALID_HANDLE_VALUE ? INVALID_FIND_HANDLE : handle;
}

bool FindNextFileA(FindHandle handle, FindData* data) {
  WIN32_FIND_DATAA found{};
  if (!::FindNextFileA(handle, &found)) return false;
  CopyFindData(found, data);
  return true;
}

bool FindClose(FindHandle handle) { return ::FindClose(handle) != FALSE; }

DWORD GetCurrentDirectoryA(DWORD size, char* buffer) { return ::GetCurrentDirectoryA(size, buffer); }

bool CreateDirectoryA(const char* path) { return ::CreateDirectoryA(path, nullptr) != FALSE; }

bool GetVolumeInformationA(const char* rootPath, DWORD* maximumComponentLength, DWORD* fileSystemFlags) {
  ::DWORD length = 0;
  ::DWORD flags = 0;
  const BOOL answered = ::GetVolumeInformationA(rootPath, nullptr, 0, nullptr, &length, &flags, nullptr, 0);
  if (maximumComponentLength != nullptr) *maximumComponentLength = length;
  if (fileSystemFlags != nullptr) *fileSystemFlags = flags;
  return answered != FALSE;
}

std::FILE* OpenFile(const char* path, const char* mode) { return std::fopen(path, mode); }

}  // namespace platform
