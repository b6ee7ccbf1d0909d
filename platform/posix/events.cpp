// Events. A named event is marked across processes by locks on a file in a
// private runtime folder; the kernel drops a lock when its holder ends, so a
// crashed holder frees the name.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "platform/platform.h"
#include "platform/posix/posix_support.h"

namespace platform {
namespace {

struct Event {
  bool manualReset = false;
  bool signalled = false;
  // Named events hold a shared lock on their name's file while open.
  posix::FileDescriptor mark;
};

// The handles this process has open, so a stray pointer is refused.
struct OpenEvents {
  std::mutex mutex;
  std::set<Event*> events;
};

OpenEvents& Open() {
  static OpenEvents open;
  return open;
}

std::string EventFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0') return std::string(runtime) + "/oc-events";
  const char* temp = std::getenv("TMPDIR");
  const std::string base = temp != nullptr && *temp != '\0' ? temp : "/tmp";
  // The temp folder is shared by all users: one folder each.
  return base + "/oc-events-" + std::to_string(getuid());
}

constexpr char kHex[] = "0123456789ABCDEF";
// Escaped names longer than this are hashed to stay within NAME_MAX.
constexpr std::size_t kLongestEscapedName = 200;

std::string HashedName(const char* name) {
  std::uint64_t hash = 14695981039346656037u;  // FNV-1a
  std::size_t length = 0;
  for (const char* p = name; *p != '\0'; ++p, ++length) {
    hash = (hash ^ static_cast<unsigned char>(*p)) * 1099511628211u;
  }
  std::string file = "h-";
  for (int shift = 60; shift >= 0; shift -= 4) file.push_back(kHex[(hash >> shift) & 0xF]);
  return file + "-" + std::to_string(length);
}

// A file name for an event name: letters and digits stay, every other byte
// becomes "%XX", so "/", "\" and ".." never leave the folder. Event names are
// case-sensitive, as the file names are.
std::string MarkFileName(const char* name) {
  std::string file = "e-";
  for (const char* p = name; *p != '\0'; ++p) {
    const auto byte = static_cast<unsigned char>(*p);
    if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')) {
      file.push_back(static_cast<char>(byte));
    } else {
      file.push_back('%');
      file.push_back(kHex[byte >> 4]);
      file.push_back(kHex[byte & 0xF]);
    }
  }
  return file.size() > kLongestEscapedName ? HashedName(name) : file;
}

posix::FileDescriptor OpenLockFile(const std::string& path) {
  return posix::FileDescriptor(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
}

// Takes the shared mark of name; sets *existed when another handle, in this
// or another process, held it already. Creators pass one at a time through
// the folder's guard lock, so the exclusive probe and its downgrade to a
// shared lock cannot interleave with another creator.
posix::FileDescriptor TakeMark(const char* name, bool* existed) {
  const std::string folder = EventFolder();
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    posix::SetLastErrorFromErrno(errno);
    return {};
  }
  posix::FileDescriptor guard = OpenLockFile(folder + "/guard");
  posix::FileDescriptor mark = OpenLockFile(folder + "/" + MarkFileName(name));
  if (!guard.Valid() || !mark.Valid()) {
    posix::SetLastErrorFromErrno(errno);
    return {};
  }
  while (flock(guard.Get(), LOCK_EX) != 0) {
    if (errno != EINTR) {
      posix::SetLastErrorFromErrno(errno);
      return {};
    }
  }
  *existed = flock(mark.Get(), LOCK_EX | LOCK_NB) != 0;
  if (flock(mark.Get(), LOCK_SH) != 0) {
    posix::SetLastErrorFromErrno(errno);
    return {};
  }
  return mark;
}

}  // namespace

Handle CreateEventA(bool manualReset, bool initialState, const char* name) {
  auto event = std::make_unique<Event>();
  event->manualReset = manualReset;
  event->signalled = initialState;
  bool existed = false;
  if (name != nullptr && *name != '\0') {
    event->mark = TakeMark(name, &existed);
    if (!event->mark.Valid()) return nullptr;
  }
  std::lock_guard lock(Open().mutex);
  Open().events.insert(event.get());
  SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return event.release();
}

bool CloseHandle(Handle handle) {
  std::unique_ptr<Event> event;
  {
    std::lock_guard lock(Open().mutex);
    const auto found = Open().events.find(static_cast<Event*>(handle));
    if (found == Open().events.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return false;
    }
    event.reset(*found);
    Open().events.erase(found);
  }
  return true;
}

}  // namespace platform
