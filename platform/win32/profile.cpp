// Profile files through GetPrivateProfileStringA.
#include "platform/win32/win32_support.h"

namespace platform {

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer, DWORD size,
                               const char* fileName) {
  return ::GetPrivateProfileStringA(section, key, defaultValue, buffer, size, fileName);
}

}  // namespace platform
