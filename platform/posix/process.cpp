// The program's arguments.
#include "platform/platform.h"

namespace platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  // POSIX hands the arguments over as the bytes they were typed in.
  return std::vector<std::string>(argv, argv + argc);
}

}  // namespace platform
