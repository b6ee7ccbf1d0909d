// Libraries over dlopen, found in the order Windows searches: the program's
// own folder, the system's places (the dynamic loader's defaults), then the
// current directory.
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/posix_support.h"
#include "platform/shared/seams_state.h"

namespace platform {
namespace {

using posix::CharLength;

std::string ProgramFolder() {
  std::vector<char> path(4096);
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (length <= 0) return {};
  const std::string program(path.data(), static_cast<std::size_t>(length));
  return program.substr(0, program.rfind('/'));
}

bool HasDirectory(const char* name) {
  for (const char* p = name; *p != '\0'; p += CharLength(p)) {
    if (*p == '\\' || *p == '/') return true;
  }
  return false;
}

// Windows adds ".dll" to a file name without an extension; a final "." says
// the name has none and is dropped.
std::string WithExtension(std::string path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ".dll";
  if (dot + 1 == path.size()) path.pop_back();
  return path;
}

// The places a name is tried, in order; a name with a directory is tried
// only as given.
std::vector<std::string> Candidates(const char* name) {
  const auto path = posix::ToSystemPath(name);
  if (!path) return {};
  const std::string file = WithExtension(*path);
  if (HasDirectory(name)) return {file};
  std::vector<std::string> candidates;
  const std::string folder = ProgramFolder();
  if (!folder.empty()) candidates.push_back(folder + "/" + file);
  candidates.push_back(file);  // no "/": the loader searches its own places
  candidates.push_back("./" + file);
  return candidates;
}

std::string LoadedPath(void* module) {
  link_map* map = nullptr;
  if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return {};
  return posix::FromSystemName(map->l_name);
}

}  // namespace

Module GetModuleHandleA(const char* name) {
  if (name == nullptr) {
    // Windows hands out no reference here; the program stays loaded anyway.
    void* program = dlopen(nullptr, RTLD_LAZY);
    if (program != nullptr) dlclose(program);
    return program;
  }
  for (const std::string& candidate : Candidates(name)) {
    if (void* module = dlopen(candidate.c_str(), RTLD_LAZY | RTLD_NOLOAD)) {
      // RTLD_NOLOAD counts a reference that GetModuleHandleA does not take.
      dlclose(module);
      return module;
    }
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

Module LoadLibraryExA(const char* name) {
  if (name == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  for (const std::string& candidate : Candidates(name)) {
    const bool onDisk = candidate.find('/') != std::string::npos && access(candidate.c_str(), F_OK) == 0;
    void* module = dlopen(candidate.c_str(), RTLD_NOW);
    if (module != nullptr) {
      seams_state::RecordLoadedLibrary(LoadedPath(module));
      return module;
    }
    // A file found but not loadable ends the search, as on Windows.
    if (onDisk) {
      SetLastError(posix::kErrorBadExeFormat);
      return nullptr;
    }
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

void* GetProcAddress(Module module, const char* name) {
  if (module == nullptr || name == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  void* address = dlsym(module, name);
  if (address == nullptr) SetLastError(ERROR_PROC_NOT_FOUND);
  return address;
}

bool FreeLibrary(Module module) {
  if (module == nullptr || dlclose(module) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  return true;
}

}  // namespace platform
