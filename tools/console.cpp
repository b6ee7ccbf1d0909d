// Messages of the pak tool on stderr.
#include "tools/console.h"

#include <cstdio>

namespace paktool {

const char* const kExitCodeHelp =
    "Exit codes: 0 success; 1 some entries failed or were refused (or, for verify,\n"
    "a pak has problems; for cat and locate, the name was not found); 2 usage error\n"
    "or input that cannot be used.";

void Console::Note(const std::string& text) const {
  if (!quiet_) std::fprintf(stderr, "pak: %s\n", text.c_str());
}

void Console::Error(const std::string& text) const { std::fprintf(stderr, "pak: %s\n", text.c_str()); }

}  // namespace paktool
