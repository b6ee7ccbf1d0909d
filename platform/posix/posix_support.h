// Helpers shared by the files of the POSIX backend: characters of code page
// 932, path conversion, errno mapping and owned file descriptors.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace platform::posix {

// Windows error codes the backend reports beyond those in platform.h.
inline constexpr DWORD kErrorGenFailure = 31;
inline constexpr DWORD kErrorBadExeFormat = 193;

// Bytes taken by the character at p: 0 at the NUL, 2 for a lead byte with a
// byte after it, else 1 (a lead byte before the NUL stands alone).
inline std::size_t CharLength(const char* p) {
  if (*p == '\0') return 0;
  return IsDBCSLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0' ? 2 : 1;
}

// The character at p as a byte or lead * 256 + trail.
inline unsigned CharValue(const char* p) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(p);
  return CharLength(p) == 2 ? bytes[0] * 256u + bytes[1] : bytes[0];
}

// Folds ASCII and full-width Latin capitals to their small letters.
inline unsigned FoldToLower(unsigned ch) {
  if (ch >= 'A' && ch <= 'Z') return ch + ('a' - 'A');
  if (ch >= 0x8260 && ch <= 0x8279) return ch + 0x21;
  return ch;
}

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
