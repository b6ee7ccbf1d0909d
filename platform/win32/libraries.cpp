// Libraries through the Windows loader and its search order.
#include <string>

#include "platform/shared/seams_state.h"
#include "platform/win32/win32_support.h"

namespace platform {
namespace {

std::string ModulePath(HMODULE module) {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

Module GetModuleHandleA(const char* name) { return ::GetModuleHandleA(name); }

Module LoadLibraryExA(const char* name) {
  HMODULE module = ::LoadLibraryExA(name, nullptr, 0);
  if (module != nullptr) {
    const DWORD error = ::GetLastError();
    seams_state::RecordLoadedLibrary(ModulePath(module));
    ::SetLastError(error);
  }
  return module;
}

void* GetProcAddress(Module module, const char* name) {
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name));
}

bool FreeLibrary(Module module) { return ::FreeLibrary(static_cast<HMODULE>(module)) != FALSE; }

}  // namespace platform
