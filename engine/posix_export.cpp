// Exports the engine's entry on POSIX, under the placeholder that the post-link
// step renames to the decorated name the launcher looks up (posix_export_name.h).
// On Windows system.def exports it under that name directly.
#include "engine/engine_run.h"

extern "C" __attribute__((visibility("default"))) int EngineEntryPlaceholderOf31Chars(platform::Instance instance,
                                                                                      int showCommand,
                                                                                      const char* title) {
  return EngineRun(instance, showCommand, title);
}
