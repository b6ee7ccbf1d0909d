// WinMain: product check, settings, single-instance guard, engine hand-off.
#include "archive/oc_archive.h"
#include "launcher/engine_handoff.h"
#include "launcher/game_settings.h"
#include "launcher/launcher.h"
#include "launcher/product_check.h"
#include "launcher/single_instance_guard.h"

// The system's texts must reach Windows as code page 932: four double-byte
// characters and the NUL.
static_assert(sizeof("製品情報") == 9, "narrow literals must be compiled as code page 932");

namespace {

void RunLauncher(platform::Instance instance, int showCommand) {
  // Declared first so that it is released last: the product file (or its pak)
  // stays open while the engine runs.
  OCArchive archive;
  if (!IsThisProduct(archive)) {
    return;
  }
  const GameSettings settings = ReadGameSettings();
  // Lives until run has returned, so the event marks the game as running for
  // the whole time the engine runs.
  const SingleInstanceGuard guard(settings.name);
  if (guard.IsFirstInstance()) {
    StartEngine(instance, showCommand, settings.title);
  } else {
    BringRunningCopyToFront(settings.name, settings.title);
  }
}

}  // namespace

extern "C" int OC_STDCALL WinMain(platform::Instance instance, platform::Instance, char*, int showCommand) {
  try {
    RunLauncher(instance, showCommand);
  } catch (...) {
    // Abort in the file-error dialog, a pak that does not inflate, memory
    // running out: the game does not start, and the process ends normally
    // instead of through the runtime's termination path. The user has seen
    // the dialog already; exception messages are never shown.
  }
  return 0;
}
