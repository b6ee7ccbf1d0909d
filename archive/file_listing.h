// Walks the files (never the directories) that a FindFirstFileA pattern lists,
// closing the enumeration on every path.
#pragma once

#include "platform/platform.h"

namespace archive_detail {

// Calls visit(const platform::FindData&) for each listed item that is not a
// directory, in the platform's order, while visit returns true.
template <typename Visit>
void ForEachFile(const char* pattern, Visit visit) {
  platform::FindData data;
  const platform::FindHandle handle = platform::FindFirstFileA(pattern, &data);
  if (handle == platform::INVALID_FIND_HANDLE || handle == nullptr) return;
  struct Closer {
    platform::FindHandle handle;
    ~Closer() { platform::FindClose(handle); }
  } closer{handle};
  do {
    if ((data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY) == 0 && !visit(data)) return;
  } while (platform::FindNextFileA(handle, &data));
}

}  // namespace archive_detail
