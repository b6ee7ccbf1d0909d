// Entry names: where an entry may land, and wildcard matching as the game
// compares names. Literals here are code page 932 bytes.
#include "tools/pak_names.h"

#include <gtest/gtest.h>

#include "tests/tools/pak_tool_harness.h"

namespace {

using paktool::MatchPattern;
using paktool::PlaceEntry;

struct PatternCase {
  const char* pattern;
  const char* name;
  bool matches;
};

class PatternTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(PatternTest, MatchesAsTheGameComparesNames) {
  const PatternCase& c = GetParam();
  EXPECT_EQ(MatchPattern(c.pattern, c.name), c.matches) << c.pattern << " vs " << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, PatternTest,
                         ::testing::Values(PatternCase{"script\\*.ini", "SCRIPT\\Product.INI", true},
                                           PatternCase{"*", "", true}, PatternCase{"*.txt", "cg\\a.txt", true},
                                           PatternCase{"cg\\?.txt", "cg\\ab.txt", false},
                                           // "?" takes a double-byte character whole, trail byte 0x5C included.
                                           PatternCase{"cg\\?ソ.txt", "cg\\表ソ.txt", true},
                                           // The trail byte of 表 is not the separator the pattern asks for.
                                           PatternCase{"*\\*", "表", false}, PatternCase{"*ソ*", "cg\\表ソ.txt", true},
                                           // Full-width capitals fold like ASCII letters do.
                                           PatternCase{"ＡＢ*", "ａｂｃ", true}, PatternCase{"a*b*c", "aXbYc", true},
                                           PatternCase{"a*b*c", "aXbY", false}, PatternCase{"", "a", false}));

struct PlacementCase {
  const char* name;
  std::vector<std::string> components;  // empty: refused
};

class PlacementTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(PlacementTest, StaysBelowTheDirectory) {
  const PlacementCase& c = GetParam();
  const paktool::EntryPlacement placement = PlaceEntry(c.name);
  if (c.components.empty()) {
    EXPECT_FALSE(placement.refusal.empty()) << c.name;
    EXPECT_TRUE(placement.components.empty());
  } else {
    EXPECT_EQ(placement.refusal, "") << c.name;
    EXPECT_EQ(placement.components, c.components);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, PlacementTest,
                         ::testing::Values(PlacementCase{"script\\product.ini", {"script", "product.ini"}},
                                           PlacementCase{"a/b\\\\c", {"a", "b", "c"}},
                                           PlacementCase{"表\\ソ.txt", {paktest::U8(u8"表"), paktest::U8(u8"ソ.txt")}},
                                           PlacementCase{".\\x", {"x"}}, PlacementCase{"..\\evil", {}},
                                           PlacementCase{"a\\..\\..\\b", {}}, PlacementCase{"\\abs", {}},
                                           PlacementCase{"/abs", {}}, PlacementCase{"C:\\x", {}},
                                           PlacementCase{"C:x", {}}, PlacementCase{"dir\\", {}},
                                           PlacementCase{"", {}}));

TEST(NameToUtf8, EscapesWhatIsNotCodePage932AndKeepsTheRest) {
  bool escaped = false;
  EXPECT_EQ(paktool::NameToUtf8("cg\\表.txt", &escaped), paktest::U8(u8"cg\\表.txt"));
  EXPECT_FALSE(escaped);
  // A lead byte followed by a byte that is no trail byte, and a control byte.
  EXPECT_EQ(paktool::NameToUtf8("a\x81 b\x01", &escaped), "a%81 b%01");
  EXPECT_TRUE(escaped);
}

}  // namespace
