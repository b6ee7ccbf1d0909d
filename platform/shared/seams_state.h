// What the backends ask of the test seams: the scripted dialog answer, the
// pending allocation failures and the record of the last loaded library.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

namespace platform::seams_state {

// The scripted answer to a message box, if a handler is set.
std::optional<int> ScriptedMessageBoxAnswer(Window owner, const char* text, const char* caption, unsigned type);
// True (and one failure used up) when the next VirtualAlloc must fail.
bool TakeVirtualAllocFailure();
void RecordLoadedLibrary(std::string path);

}  // namespace platform::seams_state
