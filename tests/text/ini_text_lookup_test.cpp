// Tests of the INI text lookup: line kinds, key splitting, section jumps, restart and cursor.
#include "text/ini_text_lookup.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace {

constexpr const char* kSection = "製品情報";

struct LookupCase {
  const char* name;
  std::string text;
  std::optional<std::string> value;  // nullopt: not found
  const char* key = "name";
  const char* section = kSection;
};
void PrintTo(const LookupCase& c, std::ostream* out) { *out << c.name; }

// Runs the lookup from the top of text; a value that is not found keeps "old".
std::string Lookup(const std::string& text, const char* section, const char* key) {
  TextString ini;
  ini.Assign(text.c_str());
  TextString value;
  value.Assign("old");
  IniTextLookup(section, key, value, ini);
  EXPECT_EQ(value.cursor, value.data);
  return value.data;
}

class IniLookupTest : public testing::TestWithParam<LookupCase> {};

TEST_P(IniLookupTest, FindsTheValue) {
  const LookupCase& c = GetParam();
  EXPECT_EQ(Lookup(c.text, c.section, c.key), c.value.value_or("old"));
}

TEST_P(IniLookupTest, LineEndsDoNotMatter) {
  const LookupCase& c = GetParam();
  std::string lf;
  for (std::size_t i = 0; i < c.text.size(); ++i) {
    if (c.text.compare(i, 2, "\r\n") != 0) lf += c.text[i];
  }
  EXPECT_EQ(Lookup(lf, c.section, c.key), c.value.value_or("old"));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, IniLookupTest,
    testing::Values(LookupCase{"Plain", "[製品情報]\r\nname=X\r\n", "X"},
                    LookupCase{"KeyCase", "[製品情報]\r\nNAME=X\r\n", "X"},
                    LookupCase{"TabSeparator", "[製品情報]\r\nname\tX\r\n", "X"},
                    LookupCase{"DoubleEquals", "[製品情報]\r\nname==X\r\n", "X"},
                    LookupCase{"BlankAfterEquals", "[製品情報]\r\nname= \t X", "X"},
                    LookupCase{"BlankBeforeEqualsBelongsToKey", "[製品情報]\r\nname =X\r\n", std::nullopt},
                    LookupCase{"IndentedByBlankIsNoKey", "[製品情報]\r\n name=X\r\n", std::nullopt},
                    LookupCase{"IndentedByTabs", "[製品情報]\r\n\t\tname=X\r\n", "X"},
                    LookupCase{"TabEndsValue", "[製品情報]\r\nname=X\tremark", "X"},
                    LookupCase{"TrailingBlanksKept", "[製品情報]\r\nname=X  \r\n", "X  "},
                    LookupCase{"InnerBlanksKept", "[製品情報]\r\nname=Harbor Lantern\r\n", "Harbor Lantern"},
                    LookupCase{"EscapedTabEndsValue", "[製品情報]\r\nname=a\\tb\r\n", "a"},
                    LookupCase{"EscapedLineFeed", "[製品情報]\r\nname=a\\nb\r\n", "a\nb"},
                    // 0x83 0x5C followed by "n" is a character and a letter, no escape.
                    LookupCase{"TrailByteIsNoEscape", "[製品情報]\r\nname=ソnX\r\n", "ソnX"},
                    LookupCase{"KeyWithoutSeparator", "[製品情報]\r\nname\r\n", std::nullopt},
                    LookupCase{"OnlyTabs", "[製品情報]\r\n\t\t\r\nname=X", "X"},
                    LookupCase{"EmptyKey", "[製品情報]\r\n=X\r\n", std::nullopt, ""},
                    LookupCase{"DoubleByteKey", "[製品情報]\r\n名前=値\r\n", "値", "名前"},
                    LookupCase{"FullWidthKeyCase", "[製品情報]\r\nＮＡＭＥ=X\r\n", "X", "ｎａｍｅ"}),
    [](const testing::TestParamInfo<LookupCase>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Sections, IniLookupTest,
    testing::Values(LookupCase{"HeaderRemarkIgnored", "[製品情報] remark\r\nname=X", "X"},
                    LookupCase{"HeaderCase", "[Product]\r\nname=X", "X", "name", "PRODUCT"},
                    LookupCase{"BlanksInBracketsBelongToName", "[ 製品情報 ]\r\nname=X", std::nullopt},
                    LookupCase{"EmptyHeaderNeverMatches", "[]\r\nname=X", std::nullopt, "name", ""},
                    LookupCase{"KeyAboveFirstHeader", "name=X\r\n[other]\r\nname=Y\r\n", "X"},
                    LookupCase{"SectionAbsent", "[other]\r\nname=Y\r\n[third]\r\nname=Z\r\n", std::nullopt},
                    LookupCase{"OtherSectionsLinesAreSkipped", "[other]\r\nname=Y\r\n[製品情報]\r\nname=X\r\n", "X"},
                    LookupCase{"EmptyValueLetsALaterOneWin",
                               "[製品情報]\r\nname=\r\n[other]\r\nname=Y\r\n[製品情報]\r\nname=X\r\n", "X"},
                    LookupCase{"FirstOccurrenceWins", "[製品情報]\r\nname=X\r\nname=Y\r\n", "X"},
                    // The jump lands one character before a "[" inside a line
                    // and reads the rest as a line of its own.
                    LookupCase{"JumpIntoTheMiddleOfALine", "[other]\r\nzzz=ya[b=V\r\n", "V", "a[b"},
                    // 0x81 0x5B: a trail byte that is no "[" is no place to jump to.
                    LookupCase{"JumpSkipsTrailBytes", "[other]\r\nkeyー=Y\r\n", std::nullopt, "ー"},
                    // 0x83 0x5D: a trail byte that is no "]" does not end the name.
                    LookupCase{"NameWithTrailBracket", "[ゾX]\r\nname=X\r\n", "X", "name", "ゾX"},
                    LookupCase{"HeaderWithoutBracketTakesTheRest", "[製品情報\r\nname=X", "X"},
                    LookupCase{"IndentedHeaderIsAKeyLine", "\t[other]\r\nname=X\r\n", "X"},
                    LookupCase{"EmptyText", "", std::nullopt}, LookupCase{"OnlyLineEnds", "\r\n\r\n", std::nullopt}),
    [](const testing::TestParamInfo<LookupCase>& info) { return info.param.name; });

// Comments depend on where the line feeds are, so they get no line-end variant.
class IniCommentTest : public testing::TestWithParam<LookupCase> {};

TEST_P(IniCommentTest, FindsTheValue) {
  const LookupCase& c = GetParam();
  EXPECT_EQ(Lookup(c.text, c.section, c.key), c.value.value_or("old"));
}

INSTANTIATE_TEST_SUITE_P(Comments, IniCommentTest,
                         testing::Values(LookupCase{"CommentedKey", "[製品情報]\r\n'name=Y\r\nname=X\r\n", "X"},
                                         LookupCase{"OnlyCommentedKey", "[製品情報]\r\n'name=X\r\n", std::nullopt},
                                         // With carriage returns alone, a comment runs to the next line feed.
                                         LookupCase{"CarriageReturnLinesSkippedToLineFeed",
                                                    "'remark\rname=Y\r[x\r\nname=X", "X"},
                                         LookupCase{"NoLineFeedAfterComment", "'remark\rname=Y\r", "Y"}),
                         [](const testing::TestParamInfo<LookupCase>& info) { return info.param.name; });

// ---- Where the scan starts and where it leaves the cursor ----

class IniCursorTest : public testing::Test {
 protected:
  void Run(const std::string& content, std::size_t start) {
    text.Assign(content.c_str());
    text.cursor = text.data + start;
    value.Clear();
    IniTextLookup(kSection, "name", value, text);
  }
  std::size_t CursorOffset() const { return static_cast<std::size_t>(text.cursor - text.data); }

  TextString text;
  TextString value;
};

TEST_F(IniCursorTest, RestartsOnceFromTheTop) {
  const std::string content = "[製品情報]\r\nname=X\r\nother=1\r\n";
  Run(content, content.find("other"));
  ASSERT_NE(value.data, nullptr);
  EXPECT_STREQ(value.data, "X");
  EXPECT_EQ(CursorOffset(), 0u);
}

TEST_F(IniCursorTest, AnotherSectionBelowEndsTheScanWithoutRestart) {
  const std::string content = "[製品情報]\r\nname=X\r\n[other]\r\nkey=1\r\n[third]\r\nz=2\r\n";
  Run(content, content.find("[other]"));
  EXPECT_EQ(value.data, nullptr);
  EXPECT_EQ(CursorOffset(), content.find("[third]") + std::string("[third]").size());
}

TEST_F(IniCursorTest, LeftAtTheMatchingHeaderFoundOrNot) {
  const std::string found = "a=1\r\n[other]\r\n[製品情報]\r\nname=X\r\nb=2\r\n";
  Run(found, 0);
  EXPECT_STREQ(value.data, "X");
  EXPECT_EQ(CursorOffset(), found.find("[製品情報]"));

  const std::string notFound = "[製品情報]\r\nkey=1\r\n[製品情報]\r\nname=\r\n";
  Run(notFound, 0);
  EXPECT_EQ(value.data, nullptr);
  EXPECT_EQ(CursorOffset(), notFound.rfind("[製品情報]"));
}

TEST_F(IniCursorTest, WithoutAMatchingHeaderTheCursorStaysWhereTheScanStopped) {
  const std::string content = "a=1\r\nb=2";
  Run(content, 0);
  EXPECT_EQ(value.data, nullptr);
  EXPECT_EQ(CursorOffset(), content.size());
}

TEST(IniLookup, TextWithoutStorageFindsNothing) {
  TextString text;
  TextString value;
  IniTextLookup(kSection, "name", value, text);
  EXPECT_EQ(value.data, nullptr);
  EXPECT_EQ(text.data, nullptr);
}

}  // namespace
