// The search for a name inside the .pak files of one directory.
#pragma once

#include <cstdint>

class OCArchive;

// Tries the directory's *.pak files in case-insensitive order and leaves
// archive on the first record whose name begins with name. 1 on a match, 0
// otherwise (archive then stands on nothing). Paks that are damaged, truncated
// or of an unknown version are passed over.
std::int32_t SearchPakDirectory(OCArchive& archive, const char* directory, const char* name);
// 1 when path names an existing file or directory (and its drive answers).
std::int32_t PathExists(const char* path);
