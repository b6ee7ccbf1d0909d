// The POSIX entry: starts WinMain as Windows' start-up code would.
#include "launcher/launcher.h"

int main() { return WinMain(platform::GetModuleHandleA(nullptr), nullptr, nullptr, platform::SW_SHOWNORMAL); }
