// Loading system.dll and calling its run.
#include "launcher/engine_handoff.h"

namespace {

constexpr char kEngineLibrary[] = "system.dll";
// The decorated name of int __stdcall run(HINSTANCE, int, const char*), which
// is how the engine exports it.
constexpr char kEngineEntry[] = "?run@@YGHPAUHINSTANCE__@@HPBD@Z";

using EngineEntry = int(OC_STDCALL*)(platform::Instance instance, int showCommand, const char* title);

// The engine library, released once whether or not its entry was found. A
// library that was already loaded is used as found and still released here.
class EngineLibrary {
 public:
  EngineLibrary() : module_(platform::GetModuleHandleA(kEngineLibrary)) {
    if (module_ == nullptr) {
      module_ = platform::LoadLibraryExA(kEngineLibrary);
    }
  }
  EngineLibrary(const EngineLibrary&) = delete;
  EngineLibrary& operator=(const EngineLibrary&) = delete;
  ~EngineLibrary() {
    if (module_ != nullptr) {
      platform::FreeLibrary(module_);
    }
  }

  bool IsLoaded() const { return module_ != nullptr; }
  EngineEntry Entry() const { return reinterpret_cast<EngineEntry>(platform::GetProcAddress(module_, kEngineEntry)); }

 private:
  platform::Module module_;
};

}  // namespace

void StartEngine(platform::Instance instance, int showCommand, const char* title) {
  const EngineLibrary engine;
  if (!engine.IsLoaded()) {
    platform::MessageBoxA(nullptr, "DLLをロードできません。", "library load error", platform::MB_OK);
    return;
  }
  if (EngineEntry run = engine.Entry()) {
    run(instance, showCommand, title);
  }
}
