// The two settings of game.ini the launcher needs.
#pragma once

#include <cstddef>

struct GameSettings {
  static constexpr std::size_t kValueSize = 100;  // a value keeps at most 99 bytes

  char name[kValueSize] = {};   // the single-instance event, and the engine window's class
  char title[kValueSize] = {};  // the engine window's title
};

// Reads "Name" (default "GAME") and "title" (default "テスト") of section
// "設定" from game.ini in the Windows directory; longer values are cut.
GameSettings ReadGameSettings();
