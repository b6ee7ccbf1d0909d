// Events: kernel objects, named ones shared between processes.
#include "platform/win32/win32_support.h"

namespace platform {

Handle CreateEventA(bool manualReset, bool initialState, const char* name) {
  return ::CreateEventA(nullptr, manualReset ? TRUE : FALSE, initialState ? TRUE : FALSE, name);
}

bool CloseHandle(Handle handle) { return ::CloseHandle(handle) != FALSE; }

}  // namespace platform
