// The demo engine: reports its arguments and keeps its window for a while.
#include "engine/engine_run.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// ENGINE_HOLD_SECONDS=N ends the engine after N seconds (tests keep it running
// so that a second launcher finds the first copy); without it the engine runs
// until its window is closed (-1).
int HoldSeconds() {
  const char* text = std::getenv("ENGINE_HOLD_SECONDS");
  if (text == nullptr) {
    return -1;
  }
  int seconds = 0;
  const char* end = text + std::strlen(text);
  const auto [stop, error] = std::from_chars(text, end, seconds);
  if (error != std::errc() || stop != end || seconds < 0) {
    return -1;
  }
  return seconds;
}

}  // namespace

extern "C" int OC_STDCALL EngineRun(platform::Instance instance, int showCommand, const char* title) {
  const char* shownTitle = title != nullptr ? title : "";
  std::printf("engine run: show=%d title=%s\n", showCommand, platform::AnsiToUtf8(shownTitle).c_str());
  std::fflush(stdout);

  // The window class is the name a second launcher looks for.
  char className[100] = {};
  platform::GetPrivateProfileStringA("設定", "Name", "GAME", className, sizeof className, "game.ini");
  platform::RunEngineWindow(instance, className, shownTitle, showCommand, HoldSeconds());
  return 0;
}
