// The test seams' state, shared by both backends.
#include "platform/seams.h"

#include <atomic>
#include <mutex>

#include "platform/shared/seams_state.h"

namespace platform {
namespace {

struct SeamState {
  std::mutex mutex;
  seams::MessageBoxHandler messageBoxHandler;
  std::string lastLoadedLibrary;
  std::atomic<int> pendingAllocFailures{0};
};

SeamState& State() {
  static SeamState state;
  return state;
}

}  // namespace

namespace seams {

void SetMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard lock(State().mutex);
  State().messageBoxHandler = std::move(handler);
}

void FailNextVirtualAllocs(int count) { State().pendingAllocFailures.store(count > 0 ? count : 0); }

std::string LastLoadedLibraryPath() {
  std::lock_guard lock(State().mutex);
  return State().lastLoadedLibrary;
}

}  // namespace seams

namespace seams_state {

std::optional<int> ScriptedMessageBoxAnswer(Window owner, const char* text, const char* caption, unsigned type) {
  seams::MessageBoxHandler handler;
  {
    std::lock_guard lock(State().mutex);
    handler = State().messageBoxHandler;
  }
  // Called outside the lock so a handler may itself use the seams.
  if (!handler) return std::nullopt;
  return handler(owner, text, caption, type);
}

bool TakeVirtualAllocFailure() {
  int pending = State().pendingAllocFailures.load();
  while (pending > 0) {
    if (State().pendingAllocFailures.compare_exchange_weak(pending, pending - 1)) return true;
  }
  return false;
}

void RecordLoadedLibrary(std::string path) {
  std::lock_guard lock(State().mutex);
  State().lastLoadedLibrary = std::move(path);
}

}  // namespace seams_state
}  // namespace platform
