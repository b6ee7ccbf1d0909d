// Helpers shared by the files of the POSIX backend: path conversion, errno
// mapping and owned file descriptors.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/shared/multibyte.h"

namespace platform::posix {

using multibyte::CharLength;
using multibyte::CharValue;
using multibyte::FoldToLower;

// Windows error codes the backend reports beyond those in platform.h.
inline constexpr DWORD kErrorGenFailure = 31;
inline constexpr DWORD kErrorBadExeFormat = 193;

DWORD ErrorFromErrno(int error);
// SetLastError with the Windows code for errno value error.
void SetLastErrorFromErrno(int error);

// A platform path (code page 932, "\" or "/") as a UTF-8 file-system path.
// Empty, with the last error set, for a path that cannot exist on POSIX
// (a drive letter, a name that has no UTF-8 form).
std::optional<std::string> ToSystemPath(const char* path);
// A file-system name (UTF-8) in code page 932; "?" stands for what 932 lacks.
std::string FromSystemName(const std::string& name);

// A file descriptor closed when its owner goes.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.Release()) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
      if (Valid()) close(fd_);
      fd_ = other.Release();
    }
    return *this;
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (Valid()) close(fd_);
  }

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  int Release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_ = -1;
};

}  // namespace platform::posix
