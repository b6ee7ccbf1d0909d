// The program entry of the game's start-up executable.
#pragma once

#include "platform/platform.h"

// Checks the product, reads the settings, keeps the game to one running copy
// and hands control to the engine. The command line and the previous instance
// are not used. Always returns 0, also when the start-up was cut short by an
// error: the game then simply does not start.
extern "C" int OC_STDCALL WinMain(platform::Instance instance, platform::Instance previousInstance, char* commandLine,
                                  int showCommand);
