// Consoles on Windows: _isatty, and _setmode to switch off newline translation.
#include <fcntl.h>
#include <io.h>

#include "platform/platform.h"

namespace platform {

bool IsTerminal(std::FILE* stream) { return stream != nullptr && _isatty(_fileno(stream)) != 0; }

void SetBinaryMode(std::FILE* stream) {
  if (stream != nullptr) _setmode(_fileno(stream), _O_BINARY);
}

}  // namespace platform
