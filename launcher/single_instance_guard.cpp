// The single-instance event and the hand-over to a copy that already runs.
#include "launcher/single_instance_guard.h"

SingleInstanceGuard::SingleInstanceGuard(const char* name)
    : event_(platform::CreateEventA(true, true, name)),
      firstInstance_(event_ != nullptr && platform::GetLastError() != platform::ERROR_ALREADY_EXISTS) {}

SingleInstanceGuard::~SingleInstanceGuard() {
  if (event_ != nullptr) {
    platform::CloseHandle(event_);
  }
}

void BringRunningCopyToFront(const char* className, const char* title) {
  platform::Window window = platform::FindWindowA(className, title);
  if (window != nullptr) {
    platform::SetForegroundWindow(window);
  }
}
