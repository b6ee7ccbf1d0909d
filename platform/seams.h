// Test seams of the platform layer: both backends honour them, so a test can
// script a dialog's answer, make a page reservation fail or see which library
// was loaded without a second copy of the logic.
#pragma once

#include <functional>
#include <string>

#include "platform/platform.h"

namespace platform::seams {

using MessageBoxHandler = std::function<int(Window owner, const char* text, const char* caption, unsigned type)>;

// While set, MessageBoxA calls handler instead of showing a dialog. Pass an
// empty function to restore the real dialog.
void SetMessageBoxHandler(MessageBoxHandler handler);

// The next count calls of VirtualAlloc fail as if no pages could be committed.
void FailNextVirtualAllocs(int count);

// The path of the library that LoadLibraryExA loaded last, or "".
std::string LastLoadedLibraryPath();

}  // namespace platform::seams
