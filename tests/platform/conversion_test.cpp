// Conversions between code page 932 and UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"

namespace {

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(Conversion, RoundTripsJapaneseTextAndKeepsTheBackslash) {
  struct Case {
    std::string ansi;
    std::string utf8;
  };
  const Case cases[] = {
      {"\x95\x5C\x83\x5C\x94\x5C", Utf8(u8"表ソ能")},
      {"\x90\xBB\x95\x69\x8F\xEE\x95\xF1", Utf8(u8"製品情報")},
      {"a\\b~c", "a\\b~c"},  // 0x5C and 0x7E stay ASCII, unlike in Shift_JIS
      {"\x87\x40", Utf8(u8"①")},
      {"\xB1", Utf8(u8"ｱ")},
      {"", ""},
  };
  for (const Case& c : cases) {
    bool ok = false;
    EXPECT_EQ(platform::AnsiToUtf8(c.ansi, &ok), c.utf8);
    EXPECT_TRUE(ok);
    ok = false;
    EXPECT_EQ(platform::Utf8ToAnsi(c.utf8, &ok), c.ansi);
    EXPECT_TRUE(ok);
  }
}

TEST(Conversion, UnconvertibleCharactersBecomeQuestionMarks) {
  bool ok = true;
  const std::string outside932 = Utf8(u8"a😀b");  // (not inside a macro, which would quote it in 932)
  EXPECT_EQ(platform::Utf8ToAnsi(outside932, &ok), "a?b");
  EXPECT_FALSE(ok);
  ok = true;
  EXPECT_EQ(platform::Utf8ToAnsi("a\xC3", &ok), "a?");  // cut short
  EXPECT_FALSE(ok);
  ok = true;
  EXPECT_EQ(platform::AnsiToUtf8("a\x95", &ok), "a?");  // lead byte without its trail
  EXPECT_FALSE(ok);
}

}  // namespace
