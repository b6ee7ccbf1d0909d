// The demo engine's entry, exported from system.dll as the launcher's "run".
#pragma once

#include "platform/platform.h"

// Prints "engine run: show=<showCommand> title=<title as UTF-8>", then runs the
// game window (class: "Name" of game.ini) for $ENGINE_HOLD_SECONDS seconds
// (0 when unset or not a number). Returns 0.
extern "C" int OC_STDCALL EngineRun(platform::Instance instance, int showCommand, const char* title);
