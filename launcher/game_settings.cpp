// Reads game.ini through the platform's profile reader.
#include "launcher/game_settings.h"

#include "platform/platform.h"

namespace {

// Named without a directory on purpose: the profile reader then looks in the
// Windows directory, not in the game folder.
constexpr char kSettingsFile[] = "game.ini";
constexpr char kSettingsSection[] = "設定";

}  // namespace

GameSettings ReadGameSettings() {
  GameSettings settings;
  platform::GetPrivateProfileStringA(kSettingsSection, "Name", "GAME", settings.name, sizeof settings.name,
                                     kSettingsFile);
  platform::GetPrivateProfileStringA(kSettingsSection, "title", "テスト", settings.title, sizeof settings.title,
                                     kSettingsFile);
  return settings;
}
