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

// What stands in for the lost character is the platform's choice ("?" here,
// "??" or a middle dot on Windows); the text around it must survive.
TEST(Conversion, UnconvertibleCharactersAreReportedAndTheRestKept) {
  struct Case {
    std::string bad;  // between "a" and the end
    std::string end;
    bool toUtf8;
  };
  const Case cases[] = {
      {Utf8(u8"😀"), "b", false},  // outside code page 932
      {"\xC3", "b", false},       // a UTF-8 sequence cut short
      {"\x95", "", true},         // a lead byte without its trail
      {"\xFD\x40", "b", true},    // a byte 932 does not define
  };
  for (const Case& c : cases) {
    const std::string text = "a" + c.bad + c.end;
    bool ok = true;
    const std::string converted = c.toUtf8 ? platform::AnsiToUtf8(text, &ok) : platform::Utf8ToAnsi(text, &ok);
    EXPECT_FALSE(ok) << converted;
    ASSERT_GT(converted.size(), 1 + c.end.size()) << converted;
    EXPECT_EQ(converted.front(), 'a');
    EXPECT_EQ(converted.substr(converted.size() - c.end.size()), c.end) << converted;
    EXPECT_EQ(converted.find(c.bad), std::string::npos) << converted;
  }
}

}  // namespace
