// Hands control to the game engine in system.dll.
#pragma once

#include "platform/platform.h"

// Loads system.dll (or takes it as already loaded), calls its run with the
// instance, the show command and the title, and releases the library once.
// Shows "DLLをロードできません。" when the library cannot be loaded; a
// library without run is released silently. run's result is ignored.
void StartEngine(platform::Instance instance, int showCommand, const char* title);
