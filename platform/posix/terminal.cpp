// Consoles on POSIX: isatty, and streams are always binary.
#include <unistd.h>

#include "platform/platform.h"

namespace platform {

bool IsTerminal(std::FILE* stream) { return stream != nullptr && isatty(fileno(stream)) != 0; }

void SetBinaryMode(std::FILE*) {}

}  // namespace platform
