// GetPrivateProfileStringA: the Windows directory, trimming, quotes, case
// and truncation.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <string>

#include "platform/platform.h"
#include "tests/platform/posix/test_support.h"

namespace {

// Written as code page 932 bytes (the narrow literals are 932).
const char kGameIni[] =
    "top=before any section\r\n"
    "[設定]\r\n"
    "Name = MyGame  \r\n"
    "title=\"  quoted  \"\n"
    "single='x'\n"
    "mismatched=\"abc'\n"
    "empty=\n"
    "\t spaced key\t=  v  \n"
    "long=表表\n"
    "no equals sign\n"
    "[ＡＢＣ]\n"
    "k=full-width section\n"
    "[other]\n"
    "Name=second\n"
    "[設定]\n"
    "Name=a later duplicate\n";

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class Profile : public testing::Test {
 protected:
  void SetUp() override {
    setenv("WINDIR", windows_.Path().c_str(), 1);
    WriteFile(windows_.Path() + "/game.ini", kGameIni);
  }
  void TearDown() override { unsetenv("WINDIR"); }

  static std::string Read(const char* section, const char* key, const char* fallback = "GAME",
                          platform::DWORD size = 100, const char* file = "game.ini") {
    char buffer[100];
    const platform::DWORD length = platform::GetPrivateProfileStringA(section, key, fallback, buffer, size, file);
    EXPECT_EQ(length, std::char_traits<char>::length(buffer));
    return buffer;
  }

  platform_test::TempDir windows_;
};

TEST_F(Profile, ValuesFollowWindowsRules) {
  struct Case {
    const char* section;
    const char* key;
    std::string value;
  };
  const Case cases[] = {
      {"設定", "Name", "MyGame"},
      {"設定", "NAME", "MyGame"},
      {"設定", "title", "  quoted  "},
      {"設定", "single", "x"},
      {"設定", "mismatched", "\"abc'"},
      {"設定", "empty", ""},
      {"設定", "spaced key", "v"},
      {"ａｂｃ", "K", "full-width section"},
      {"other", "Name", "second"},
      {"設定", "missing", "GAME"},
      {"設定", "no equals sign", "GAME"},
      {"missing", "Name", "GAME"},
      {"", "top", "GAME"},
  };
  for (const Case& c : cases) EXPECT_EQ(Read(c.section, c.key), c.value) << c.section << " / " << c.key;
}

TEST_F(Profile, ValuesAndDefaultsAreCutToTheBuffer) {
  struct Case {
    const char* key;
    const char* fallback;
    platform::DWORD size;
    std::string value;
  };
  const Case cases[] = {
      {"Name", "", 4, "MyG"},           {"Name", "", 1, ""},
      {"long", "", 5, "表表"},          {"long", "", 4, "表"},               // never half a character
      {"missing", "テスト", 5, "テス"}, {"missing", "GAME  ", 100, "GAME"},  // the default loses its trailing blanks
      {"missing", nullptr, 100, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Read("設定", c.key, c.fallback, c.size), c.value) << c.key << " " << c.size;
}

TEST_F(Profile, MissingFileGivesTheDefault) { EXPECT_EQ(Read("設定", "Name", "テスト", 100, "absent.ini"), "テスト"); }

TEST_F(Profile, NamesWithADirectoryAreNotLookedUpInTheWindowsDirectory) {
  platform_test::TempDir elsewhere;
  WriteFile(elsewhere.Path() + "/game.ini", "[設定]\nName=elsewhere\n");
  EXPECT_EQ(Read("設定", "Name", "GAME", 100, (elsewhere.Path() + "/game.ini").c_str()), "elsewhere");
  platform_test::WorkingDirectory inElsewhere(elsewhere.Path());
  EXPECT_EQ(Read("設定", "Name", "GAME", 100, ".\\game.ini"), "elsewhere");
  EXPECT_EQ(Read("設定", "Name", "GAME", 100, "game.ini"), "MyGame");
}

TEST_F(Profile, NullKeyListsTheKeysOfASection) {
  char buffer[100];
  const platform::DWORD length =
      platform::GetPrivateProfileStringA("other", nullptr, "", buffer, sizeof buffer, "game.ini");
  // Each name ends in its NUL, and one more NUL ends the list.
  EXPECT_EQ(std::string(buffer, length), std::string("Name\0", 5));
  EXPECT_EQ(buffer[length], '\0');
}

}  // namespace
