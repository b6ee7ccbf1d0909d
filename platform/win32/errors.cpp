// The thread's last error, kept by Windows itself.
#include "platform/win32/win32_support.h"

namespace platform {

DWORD GetLastError() { return ::GetLastError(); }

void SetLastError(DWORD error) { ::SetLastError(error); }

}  // namespace platform
