// A stand-in system.dll that exports "run" only undecorated, so a launcher that
// looks for the plain name instead of the decorated one is caught.
#include <cstdio>

extern "C" __attribute__((visibility("default"))) int run(void*, int, const char*) {
  std::puts("wrong entry called");
  std::fflush(stdout);
  return 0;
}
