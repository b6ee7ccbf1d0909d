// Character stepping, searching and comparing in code page 932.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

// 0x95 0x5C "表" and 0x83 0x5C "ソ" end in the byte of "\".
constexpr const char* kHyou = "\x95\x5C";
constexpr const char* kSo = "\x83\x5C";

// Offset of a found position, or -1 for none.
long OffsetOf(const char* text, const char* found) { return found == nullptr ? -1 : found - text; }

TEST(CodePage, LeadAndTrailByteRanges) {
  struct Case {
    unsigned char byte;
    bool lead;
    bool trail;
  };
  const Case cases[] = {{0x3F, false, false}, {0x40, false, true}, {0x5C, false, true}, {0x7E, false, true},
                        {0x7F, false, false}, {0x80, false, true}, {0x81, true, true},  {0x9F, true, true},
                        {0xA0, false, true},  {0xDF, false, true}, {0xE0, true, true},  {0xFC, true, true},
                        {0xFD, false, false}, {0xFF, false, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(platform::IsDBCSLeadByte(c.byte), c.lead) << std::hex << int{c.byte};
    EXPECT_EQ(platform::IsTrailByte(c.byte), c.trail) << std::hex << int{c.byte};
  }
}

TEST(CodePage, CharNextStepsWholeCharactersAndStopsAtTheEnd) {
  const std::string text = std::string("a") + kHyou + "b";
  const char* p = text.c_str();
  std::vector<long> steps;
  for (int i = 0; i < 4; ++i) {
    p = platform::CharNextA(p);
    steps.push_back(p - text.c_str());
  }
  EXPECT_EQ(steps, (std::vector<long>{1, 3, 4, 4}));
}

TEST(CodePage, LeadByteBeforeTheNulIsOneByte) {
  const char text[] = "a\x95";
  EXPECT_EQ(platform::CharNextA(text + 1), text + 2);
  EXPECT_EQ(platform::CharNextA(text + 2), text + 2);
  EXPECT_EQ(platform::CharPrevA(text, text + 2), text + 1);
  EXPECT_EQ(OffsetOf(text, platform::FindChar(text, 0x95)), 1);
  EXPECT_EQ(OffsetOf(text, platform::FindChar(text, 0)), 2);
  EXPECT_NE(platform::CompareNoCase(text, "a"), 0);
}

TEST(CodePage, CharPrevFindsTheCharacterStart) {
  const std::string text = std::string("a") + kSo + "\\";  // a, ソ, "\"
  const char* start = text.c_str();
  EXPECT_EQ(platform::CharPrevA(start, start + 4) - start, 3);
  EXPECT_EQ(platform::CharPrevA(start, start + 3) - start, 1);
  EXPECT_EQ(platform::CharPrevA(start, start + 1) - start, 0);
  EXPECT_EQ(platform::CharPrevA(start, start) - start, 0);
}

TEST(CodePage, FindCharNeverMatchesATrailByte) {
  struct Case {
    std::string text;
    unsigned ch;
    long first;
    long last;
  };
  const Case cases[] = {
      {kHyou, '\\', -1, -1},
      {std::string(kHyou) + "\\", '\\', 2, 2},
      {std::string("\\") + kSo + "\\" + kHyou, '\\', 0, 3},
      {std::string("x") + kHyou + kHyou, 0x955C, 1, 3},
      {"\x95\x5C\x5C", 0x5C, 2, 2},
      {"abc", 0, 3, 3},
      {"abc", 'z', -1, -1},
  };
  for (const Case& c : cases) {
    const char* text = c.text.c_str();
    EXPECT_EQ(OffsetOf(text, platform::FindChar(text, c.ch)), c.first) << c.text;
    EXPECT_EQ(OffsetOf(text, platform::FindLastChar(text, c.ch)), c.last) << c.text;
  }
}

TEST(CodePage, FindTextMatchesOnlyAtCharacterBoundaries) {
  struct Case {
    std::string text;
    std::string sub;
    long found;
  };
  const Case cases[] = {
      {std::string(kSo) + "\\x", "\\x", 2},
      {kHyou, "\\", -1},
      {"ab" + std::string(kHyou), kHyou, 2},
      {"\x83\x95\x5C", "\x95\x5C", -1},  // 0x95 is the trail of 0x8395 here
      {"abc", "", 0},
      {"abc", "abcd", -1},
      {"script\\product.ini", "product", 7},
  };
  for (const Case& c : cases) {
    const char* text = c.text.c_str();
    EXPECT_EQ(OffsetOf(text, platform::FindText(text, c.sub.c_str())), c.found) << c.text << " / " << c.sub;
  }
}

TEST(CodePage, SetOperationsWorkOnWholeCharacters) {
  struct Case {
    std::string text;
    std::string set;
    std::size_t span;
    long firstOf;
  };
  const Case cases[] = {
      {"  x", " ", 2, 0},
      {std::string(kHyou) + kHyou + "x", kHyou, 4, 0},
      {"\x95\x40\\", "\\", 0, 2},  // the first character is 0x9540, not "@"
      {std::string(kSo) + "\\a", "\\", 0, 2},
      {"abc", "cba", 3, 0},
      {"abc", "xyz", 0, -1},
      {"", "a", 0, -1},
  };
  for (const Case& c : cases) {
    const char* text = c.text.c_str();
    EXPECT_EQ(platform::SpanOfSet(text, c.set.c_str()), c.span) << c.text;
    EXPECT_EQ(OffsetOf(text, platform::FindFirstOfSet(text, c.set.c_str())), c.firstOf) << c.text;
  }
}

int Sign(int value) { return (value > 0) - (value < 0); }

TEST(CodePage, CompareNoCaseFoldsAsciiAndFullWidthLettersToLower) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  };
  const Case cases[] = {
      {"HarborLanternFete", "harborlanternfete", 0},
      {"\x82\x60\x82\x79", "\x82\x81\x82\x9A", 0},  // "ＡＺ" and "ａｚ"
      {"\x82\x5F", "\x82\x80", -1},                 // just outside the letters: not folded
      {"abc", "abd", -1},
      {"ab", "abc", -1},
      {"_", "A", -1},  // folded to lower: "_" (0x5F) is below "a" (0x61)
      {"\x95\x5C", "\x95\x5D", -1},
      {"a\x95\x5C", "A\x95\x5C", 0},
      {"", "", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Sign(platform::CompareNoCase(c.a, c.b)), c.sign) << c.a << " / " << c.b;
    EXPECT_EQ(Sign(platform::CompareNoCase(c.b, c.a)), -c.sign) << c.b << " / " << c.a;
  }
}

TEST(CodePage, CompareNoCaseBytesLooksAtTheCountOnly) {
  struct Case {
    const char* a;
    const char* b;
    std::size_t count;
    int sign;
  };
  const Case cases[] = {
      {"script\\PRODUCT.INI", "script\\product.ini.bak", 18, 0},
      {"script\\product.ini", "script\\product", 18, 1},
      {"ab", "abc", 3, -1},
      {"abX", "abY", 2, 0},
      {"\x82\x73\x82\x60", "\x82\x94\x82\x81", 4, 0},  // "ＴＡ" and "ｔａ"
      {"a\x95\x5C", "a\x95\x5D", 2, 0},                // the count ends after the shared lead byte
      {"a\x95\x5C", "a\x96\x5C", 2, -1},               // ... but the lead bytes themselves differ
      {"a\x95\x5C", "a\x95\x5D", 3, -1},
      {"x", "y", 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Sign(platform::CompareNoCaseBytes(c.a, c.b, c.count)), c.sign) << c.a << " / " << c.b << " " << c.count;
  }
}

TEST(CodePage, LstrlenCountsBytes) {
  EXPECT_EQ(platform::lstrlenA(kHyou), 2);
  EXPECT_EQ(platform::lstrlenA(""), 0);
  EXPECT_EQ(platform::lstrlenA(nullptr), 0);
}

TEST(CodePage, LstrcmpiOrdersSymbolsBeforeDigitsBeforeLetters) {
  const std::vector<std::string> ordered = {"a",         "a.pak",     "data.pak",   "data_x.pak",  "data2.pak",
                                            "DATA3.pak", "dataB.pak", "datab.pakx", "\x95\x5C.pak"};
  for (std::size_t i = 0; i + 1 < ordered.size(); ++i) {
    EXPECT_LT(platform::lstrcmpiA(ordered[i].c_str(), ordered[i + 1].c_str()), 0)
        << ordered[i] << " < " << ordered[i + 1];
    EXPECT_GT(platform::lstrcmpiA(ordered[i + 1].c_str(), ordered[i].c_str()), 0)
        << ordered[i + 1] << " > " << ordered[i];
  }
  EXPECT_EQ(platform::lstrcmpiA("A.PAK", "a.pak"), 0);
  std::vector<std::string> shuffled = {"b.pak", "A.pak", "a_1.pak", "B.pak", "a.pak"};
  std::stable_sort(shuffled.begin(), shuffled.end(), [](const std::string& x, const std::string& y) {
    return platform::lstrcmpiA(x.c_str(), y.c_str()) < 0;
  });
  EXPECT_EQ(shuffled, (std::vector<std::string>{"A.pak", "a.pak", "a_1.pak", "b.pak", "B.pak"}));
}

}  // namespace
