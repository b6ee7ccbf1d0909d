// Tests of TextString: growth, editing, searching and the cursor.
#include "text/text_string.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <new>
#include <optional>
#include <ostream>
#include <string>

#include "errors/oc_exception.h"
#include "tests/text/failing_allocator.h"

namespace {

// The text, or nullopt for a string without storage; checks the invariants
// every string must keep on the way.
std::optional<std::string> TextOf(const TextString& s) {
  if (s.data == nullptr) {
    EXPECT_EQ(s.capacity, 0);
    EXPECT_EQ(s.length, 0);
    EXPECT_EQ(s.cursor, nullptr);
    return std::nullopt;
  }
  EXPECT_EQ(s.capacity % 64, 0);
  EXPECT_LT(s.length, s.capacity + 1);
  EXPECT_EQ(static_cast<std::size_t>(s.length), std::strlen(s.data));
  if (s.cursor != nullptr) {
    EXPECT_GE(s.cursor, s.data);
    EXPECT_LE(s.cursor, s.data + s.length);
  }
  return std::string(s.data, static_cast<std::size_t>(s.length));
}

TextString Make(const std::string& text) {
  TextString s;
  s.Assign(text.c_str());
  return s;
}

std::int64_t CursorOffset(const TextString& s) { return s.cursor == nullptr ? -1 : s.cursor - s.data; }

// ---- Growth ----

struct ReserveCase {
  const char* name;
  std::optional<std::string> initial;  // nullopt: no storage
  std::int32_t n;
  std::int32_t capacity;  // expected afterwards
};
void PrintTo(const ReserveCase& c, std::ostream* out) { *out << c.name; }

class ReserveTest : public testing::TestWithParam<ReserveCase> {};

TEST_P(ReserveTest, CapacityIsTheNextMultipleOf64AndNeverShrinks) {
  const ReserveCase& c = GetParam();
  TextString s;
  if (c.initial) s.Assign(c.initial->c_str());
  const char* before = s.data;
  const std::int32_t capacityBefore = s.capacity;

  s.Reserve(c.n);

  EXPECT_EQ(s.capacity, c.capacity);
  EXPECT_EQ(TextOf(s).value_or("<none>"), c.initial.value_or(c.capacity != 0 ? "" : "<none>"));
  if (c.capacity == capacityBefore) {
    EXPECT_EQ(s.data, before);
  }
  if (s.data != nullptr) {
    EXPECT_EQ(s.cursor, s.data);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Text, ReserveTest,
    testing::Values(ReserveCase{"ZeroOnEmpty", std::nullopt, 0, 64}, ReserveCase{"Below64", std::nullopt, 63, 64},
                    ReserveCase{"Exactly64", std::nullopt, 64, 128}, ReserveCase{"Hundred", std::nullopt, 100, 128},
                    ReserveCase{"MinusOneOnEmpty", std::nullopt, -1, 0},
                    ReserveCase{"NegativeOnEmpty", std::nullopt, -500, 0},
                    ReserveCase{"NegativeKeepsText", std::string("abc"), -1, 64},
                    ReserveCase{"FitsAlready", std::string(70, 'x'), 100, 128},
                    ReserveCase{"GrowsKeepingText", std::string(70, 'x'), 128, 192},
                    ReserveCase{"IntMaxDoesNothing", std::string("abc"), INT32_MAX, 64},
                    ReserveCase{"FirstOverflowingSizeDoesNothing", std::string("abc"), INT32_MAX - 63, 64},
                    ReserveCase{"HugeOnEmptyDoesNothing", std::nullopt, INT32_MAX - 63, 0}),
    [](const testing::TestParamInfo<ReserveCase>& info) { return info.param.name; });

TEST(TextStringGrowth, TextLengthGivesCapacityInSteps) {
  for (const auto& [length, capacity] : {std::pair{0, 64}, {63, 64}, {64, 128}, {127, 128}, {128, 192}}) {
    const TextString s = Make(std::string(static_cast<std::size_t>(length), 'a'));
    EXPECT_EQ(s.capacity, capacity) << "length " << length;
    const TextString copy(s);
    EXPECT_EQ(copy.capacity, capacity) << "copy of length " << length;
  }
}

TEST(TextStringGrowth, ReserveRebasesTheCursorAtItsOffset) {
  TextString s = Make("abcdef");
  s.cursor = s.data + 4;
  s.Reserve(300);
  EXPECT_EQ(CursorOffset(s), 4);

  s.cursor = nullptr;
  s.Reserve(1000);
  EXPECT_EQ(s.cursor, nullptr) << "an unset cursor of a string with storage stays unset";
  EXPECT_EQ(TextOf(s), "abcdef");
}

// ---- Copies and assignments ----

TEST(TextStringCopy, CopiesOwnTheirBuffers) {
  TextString original = Make("path\\to\\file");
  original.cursor = original.data + 3;
  TextString copy(original);
  EXPECT_NE(copy.data, original.data);
  EXPECT_EQ(TextOf(copy), "path\\to\\file");
  EXPECT_EQ(copy.cursor, copy.data);

  TextString assigned = Make("other");
  assigned = original;
  EXPECT_NE(assigned.data, original.data);
  EXPECT_EQ(TextOf(assigned), TextOf(original));

  original.data[0] = 'P';
  EXPECT_EQ(TextOf(copy), "path\\to\\file");

  const TextString empty;
  const TextString emptyCopy(empty);
  EXPECT_EQ(TextOf(emptyCopy), std::nullopt);
}

TEST(TextStringAssign, SameBufferDoesNothing) {
  TextString s = Make("abc");
  s.cursor = s.data + 2;
  char* const data = s.data;
  s.Assign(s.data);
  s = s;
  EXPECT_EQ(s.data, data);
  EXPECT_EQ(CursorOffset(s), 2);
  EXPECT_EQ(TextOf(s), "abc");
}

TEST(TextStringAssign, NullLeavesNoStorageAndPartOfItselfIsCopiedSafely) {
  TextString s = Make("abc");
  s.Assign(nullptr);
  EXPECT_EQ(TextOf(s), std::nullopt);

  s.Assign(std::string(100, 'x').append("tail").c_str());
  s.Assign(s.data + 100);
  EXPECT_EQ(TextOf(s), "tail");
  EXPECT_EQ(s.capacity, 64);

  s.Assign("head and tail");
  s.AssignRange(s.data + 9, 4);
  EXPECT_EQ(TextOf(s), "tail");
}

struct AssignRangeCase {
  const char* name;
  const char* p;
  std::int32_t count;
  std::optional<std::string> text;
  std::int32_t capacity;
};
void PrintTo(const AssignRangeCase& c, std::ostream* out) { *out << c.name; }

class AssignRangeTest : public testing::TestWithParam<AssignRangeCase> {};

TEST_P(AssignRangeTest, TakesCountBytesOrRoom) {
  const AssignRangeCase& c = GetParam();
  for (const bool hadStorage : {false, true}) {
    TextString s;
    if (hadStorage) s.Assign(std::string(200, 'o').c_str());
    s.AssignRange(c.p, c.count);
    EXPECT_EQ(TextOf(s), c.text) << "had storage " << hadStorage;
    EXPECT_EQ(s.capacity, c.capacity) << "had storage " << hadStorage;
    if (s.data != nullptr) {
      EXPECT_EQ(s.cursor, s.data);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Text, AssignRangeTest,
                         testing::Values(AssignRangeCase{"WholeText", "hello", -1, "hello", 64},
                                         AssignRangeCase{"Prefix", "hello", 3, "hel", 64},
                                         AssignRangeCase{"CountZero", "hello", 0, std::nullopt, 0},
                                         AssignRangeCase{"NullWithRoom", nullptr, 10, "", 64},
                                         AssignRangeCase{"NullWithMoreRoom", nullptr, 100, "", 128},
                                         AssignRangeCase{"NullWithRoomZero", nullptr, 0, "", 64},
                                         AssignRangeCase{"NullMinusOne", nullptr, -1, std::nullopt, 0}),
                         [](const testing::TestParamInfo<AssignRangeCase>& info) { return info.param.name; });

TEST(TextStringAssign, AssignRangeOfItsOwnStartDoesNothing) {
  TextString s = Make("hello");
  s.cursor = s.data + 1;
  s.AssignRange(s.data, 2);
  EXPECT_EQ(TextOf(s), "hello");
  EXPECT_EQ(CursorOffset(s), 1);
}

// ---- Appending ----

TEST(TextStringAppend, EmptyTextGivesStorageAndCursorGoesToStart) {
  TextString s;
  s.Append("");
  EXPECT_EQ(TextOf(s), "");
  EXPECT_EQ(s.capacity, 64);

  s.Append("abc");
  s.cursor = s.data + 2;
  s.Append(nullptr);
  EXPECT_EQ(s.cursor, s.data) << "null text still puts the cursor at the start";

  s.cursor = s.data + 2;
  s.Append(std::string(70, 'd').c_str());
  EXPECT_EQ(TextOf(s), "abc" + std::string(70, 'd'));
  EXPECT_EQ(s.capacity, 128);
  EXPECT_EQ(s.cursor, s.data);
}

TEST(TextStringAppend, RangeCountsBytesAndZeroTouchesNothing) {
  TextString s = Make("ab");
  s.cursor = s.data + 1;
  s.AppendRange("xyz", 0);
  EXPECT_EQ(TextOf(s), "ab");
  EXPECT_EQ(CursorOffset(s), 1);

  s.AppendRange("xyz", 2);
  EXPECT_EQ(TextOf(s), "abxy");
  EXPECT_EQ(s.cursor, s.data);
  s.AppendRange("123", -1);
  EXPECT_EQ(TextOf(s), "abxy123");
}

TEST(TextStringAppend, ItsOwnTextSurvivesTheGrowth) {
  TextString s = Make(std::string(40, 'q') + "end");
  s.Append(s.data);
  EXPECT_EQ(TextOf(s), std::string(40, 'q') + "end" + std::string(40, 'q') + "end");
  s.AppendRange(s.data + 83, 3);
  EXPECT_EQ(s.length, 89);
  EXPECT_EQ(std::string(s.data + 86), "end");
}

// ---- Erasing ----

struct EraseCase {
  const char* name;
  const char* text;
  std::int64_t cursor;
  std::int32_t count;
  std::int32_t pos;
  std::optional<std::string> result;
  std::int64_t resultCursor;  // -1: null returned
};
void PrintTo(const EraseCase& c, std::ostream* out) { *out << c.name; }

class EraseTest : public testing::TestWithParam<EraseCase> {};

TEST_P(EraseTest, RemovesAtTheCursor) {
  const EraseCase& c = GetParam();
  TextString s = Make(c.text);
  s.cursor = s.data + c.cursor;
  char* const returned = s.Erase(c.count, c.pos);
  EXPECT_EQ(TextOf(s), c.result);
  EXPECT_EQ(returned, s.cursor);
  EXPECT_EQ(CursorOffset(s), c.resultCursor);
}

INSTANTIATE_TEST_SUITE_P(Text, EraseTest,
                         testing::Values(EraseCase{"DropTrailingBackslash", "games\\", 5, 0, -1, "games", 5},
                                         EraseCase{"DriveRoot", "C:\\games\\data", 0, 0, 3, "C:\\", 3},
                                         EraseCase{"CountBeyondLengthClears", "abc", 1, 5, -1, std::nullopt, -1},
                                         EraseCase{"MiddleBytes", "abcdef", 1, 2, -1, "adef", 1},
                                         EraseCase{"UpToTheEnd", "abcdef", 2, 4, -1, "ab", 2},
                                         EraseCase{"PastTheEndCutsAtCursor", "abcdef", 4, 3, -1, "abcd", 4},
                                         EraseCase{"WholeTextKeepsStorage", "abc", 0, 3, -1, "", 0},
                                         EraseCase{"PosOutsideKeepsCursor", "abcdef", 2, 1, 10, "abdef", 2},
                                         EraseCase{"PosAtEnd", "abcdef", 0, 0, 6, "abcdef", 6}),
                         [](const testing::TestParamInfo<EraseCase>& info) { return info.param.name; });

TEST(TextStringErase, CapacityFollowsTheNewLength) {
  TextString s = Make(std::string(150, 'x'));
  s.Erase(0, 10);
  EXPECT_EQ(TextOf(s), std::string(10, 'x'));
  EXPECT_EQ(s.capacity, 64);
}

TEST(TextStringErase, UnsetCursorChangesNothing) {
  TextString s = Make("abc");
  s.cursor = nullptr;
  EXPECT_EQ(s.Erase(0, -1), nullptr);
  EXPECT_EQ(TextOf(s), "abc");
  TextString none;
  EXPECT_EQ(none.Erase(0, -1), nullptr);
  EXPECT_EQ(TextOf(none), std::nullopt);
}

// ---- Extracting ----

TEST(TextStringExtract, TakesTheBytesBetweenTwoPositionsInEitherOrder) {
  TextString s = Make("alpha beta gamma");
  s.cursor = s.data + 3;
  TextString forward;
  TextString backward;
  s.ExtractRange(s.data + 6, s.data + 10, forward);
  s.ExtractRange(s.data + 10, s.data + 6, backward);
  EXPECT_EQ(TextOf(forward), "beta");
  EXPECT_EQ(TextOf(backward), "beta");
  EXPECT_EQ(backward.cursor, backward.data);
  EXPECT_EQ(TextOf(s), "alpha beta gamma");
  EXPECT_EQ(CursorOffset(s), 3);

  TextString whole;
  s.ExtractRange(nullptr, nullptr, whole);
  EXPECT_EQ(TextOf(whole), "alpha beta gamma");
  s.ExtractRange(s.data + 11, nullptr, whole);
  EXPECT_EQ(TextOf(whole), "gamma");
  s.ExtractRange(s.data + 4, s.data + 4, whole);
  EXPECT_EQ(TextOf(whole), std::nullopt);
}

TEST(TextStringExtract, PositionOutsideTheTextKeepsTheDestination) {
  const TextString s = Make("abc");
  const TextString elsewhere = Make("xyz");
  TextString destination = Make("old");
  s.ExtractRange(s.data, elsewhere.data + 1, destination);
  EXPECT_EQ(TextOf(destination), "old");
  s.ExtractRange(elsewhere.data, nullptr, destination);
  EXPECT_EQ(TextOf(destination), "old");
}

TEST(TextStringExtract, IntoItself) {
  TextString s = Make("alpha beta");
  s.ExtractRange(s.data + 6, nullptr, s);
  EXPECT_EQ(TextOf(s), "beta");
}

// ---- Replacing ----

struct ReplaceCase {
  const char* name;
  const char* text;
  const char* find;
  const char* replacement;
  const char* result;
};
void PrintTo(const ReplaceCase& c, std::ostream* out) { *out << c.name; }

class ReplaceAllTest : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceAllTest, ReplacesEveryOccurrenceAtCharacterBoundaries) {
  const ReplaceCase& c = GetParam();
  TextString s = Make(c.text);
  s.cursor = s.data + 1;
  s.ReplaceAll(c.find, c.replacement);
  EXPECT_EQ(TextOf(s), c.result);
  EXPECT_EQ(s.cursor, s.data);
}

INSTANTIATE_TEST_SUITE_P(
    Text, ReplaceAllTest,
    testing::Values(ReplaceCase{"Slashes", "script/sub/product.ini", "/", "\\", "script\\sub\\product.ini"},
                    ReplaceCase{"ThreeBackslashes", "a\\\\\\b", "\\\\", "\\", "a\\\\b"},
                    ReplaceCase{"FourBackslashes", "a\\\\\\\\b", "\\\\", "\\", "a\\\\b"},
                    // 0x95 0x5C is one character whose trail byte is no backslash.
                    ReplaceCase{"TrailByteIsNoBackslash", "\x95\x5C\\x\x83\x5C", "\\", "/", "\x95\x5C/x\x83\x5C"},
                    ReplaceCase{"EscapeToLineFeed", "a\\nb\\n", "\\n", "\n", "a\nb\n"},
                    ReplaceCase{"NullReplacementDeletes", "--a--b--", "--", nullptr, "ab"},
                    ReplaceCase{
                        "LongerReplacementGrows", "x.x.x", ".", "<dot dot dot dot dot dot dot dot dot dot>",
                        "x<dot dot dot dot dot dot dot dot dot dot>x<dot dot dot dot dot dot dot dot dot dot>x"},
                    ReplaceCase{"WholeText", "abc", "abc", "", ""}),
    [](const testing::TestParamInfo<ReplaceCase>& info) { return info.param.name; });

TEST(TextStringReplaceAll, NothingFoundKeepsBufferAndPutsCursorAtStart) {
  TextString s = Make(std::string(100, 'a'));
  s.cursor = s.data + 50;
  char* const data = s.data;
  s.ReplaceAll("b", "c");
  EXPECT_EQ(s.data, data);
  EXPECT_EQ(s.capacity, 128);
  EXPECT_EQ(s.cursor, s.data);

  TextString none;
  none.ReplaceAll("a", "b");
  EXPECT_EQ(TextOf(none), std::nullopt);
}

TEST(TextStringReplaceAll, CapacityFollowsTheNewLength) {
  TextString s = Make(std::string(100, 'a'));
  s.ReplaceAll("aa", "a");
  EXPECT_EQ(TextOf(s), std::string(50, 'a'));
  EXPECT_EQ(s.capacity, 64);
}

TEST(TextStringReplaceAll, AnyFailedAllocationBecomesOCExceptionWithTextUnchanged) {
  const std::string text = "one/two/three/" + std::string(80, 'x') + "/four";
  std::int64_t allocations = 0;
  {
    TextString s = Make(text);
    const std::int64_t before = failing_allocator::Count();
    s.ReplaceAll("/", "\\\\");
    allocations = failing_allocator::Count() - before;
  }
  ASSERT_GT(allocations, 1);

  for (std::int64_t failing = 0; failing < allocations; ++failing) {
    TextString s = Make(text);
    char* const data = s.data;
    std::optional<std::uint32_t> code;
    try {
      failing_allocator::Armed armed(failing);
      s.ReplaceAll("/", "\\\\");
    } catch (const OCException& e) {
      code = e.code;
    }
    ASSERT_TRUE(code.has_value()) << "allocation " << failing;
    EXPECT_EQ(*code, 0u);
    EXPECT_EQ(s.data, data);
    EXPECT_EQ(TextOf(s), text);
  }
}

// ---- Out of memory ----

struct OutOfMemoryCase {
  const char* name;
  std::function<void(TextString&)> operation;
  std::optional<std::string> textAfter;  // nullopt: left without storage
};
void PrintTo(const OutOfMemoryCase& c, std::ostream* out) { *out << c.name; }

class OutOfMemoryTest : public testing::TestWithParam<OutOfMemoryCase> {};

TEST_P(OutOfMemoryTest, LeavesTheStringAsDocumented) {
  const OutOfMemoryCase& c = GetParam();
  TextString s = Make(std::string(60, 's'));
  {
    failing_allocator::Armed armed(0);
    EXPECT_THROW(c.operation(s), std::bad_alloc);
  }
  EXPECT_EQ(TextOf(s), c.textAfter);
}

const std::string kLong(200, 'L');
const TextString kSource = Make("source");

INSTANTIATE_TEST_SUITE_P(
    Text, OutOfMemoryTest,
    testing::Values(
        OutOfMemoryCase{"Append", [](TextString& s) { s.Append(kLong.c_str()); }, std::string(60, 's')},
        OutOfMemoryCase{"AppendRange", [](TextString& s) { s.AppendRange(kLong.c_str(), 10); }, std::string(60, 's')},
        OutOfMemoryCase{"Reserve", [](TextString& s) { s.Reserve(500); }, std::string(60, 's')},
        OutOfMemoryCase{"Assign", [](TextString& s) { s.Assign(kLong.c_str()); }, std::nullopt},
        OutOfMemoryCase{"AssignRange", [](TextString& s) { s.AssignRange(kLong.c_str(), 5); }, std::nullopt},
        OutOfMemoryCase{"CopyAssign", [](TextString& s) { s = kSource; }, std::nullopt}),
    [](const testing::TestParamInfo<OutOfMemoryCase>& info) { return info.param.name; });

// ---- Parsing ----

TEST(TextStringSkipChars, MovesPastTheSetOrReportsNothingLeft) {
  TextString s = Make(" \t value \t");
  EXPECT_EQ(s.SkipChars(" \t"), s.data + 3);
  EXPECT_EQ(s.cursor, s.data + 3);
  s.cursor = s.data + 8;
  EXPECT_EQ(s.SkipChars(" \t"), nullptr);
  EXPECT_EQ(CursorOffset(s), 8);
  s.cursor = nullptr;
  EXPECT_EQ(s.SkipChars(" "), nullptr);
}

TEST(TextStringNextToken, YieldsTheNonEmptyLines) {
  TextString text = Make("\r\n\r\nabc\r\ndef");
  TextString line;
  EXPECT_EQ(text.NextToken("\r\n", line), text.data + 4);
  EXPECT_EQ(TextOf(line), "abc");
  EXPECT_EQ(line.cursor, line.data);
  EXPECT_EQ(CursorOffset(text), 7);

  EXPECT_EQ(text.NextToken("\r\n", line), text.data + 9);
  EXPECT_EQ(TextOf(line), "def");
  EXPECT_EQ(CursorOffset(text), 12);

  EXPECT_EQ(text.NextToken("\r\n", line), nullptr);
  EXPECT_EQ(TextOf(line), "def") << "no token leaves the destination alone";
  EXPECT_EQ(CursorOffset(text), 12);
}

TEST(TextStringNextToken, TrailBytesAreNoDelimitersAndRoomIsLengthPlusOne) {
  TextString text = Make("\x83\x5C\x95\x5C\\rest");
  TextString token;
  text.NextToken("\\", token);
  EXPECT_EQ(TextOf(token), "\x83\x5C\x95\x5C");

  TextString long63 = Make(std::string(63, 'w') + ",");
  long63.NextToken(",", token);
  EXPECT_EQ(token.length, 63);
  EXPECT_EQ(token.capacity, 128);

  TextString unset;
  EXPECT_EQ(unset.NextToken(",", token), nullptr);
}

struct CurrentCharCase {
  const char* name;
  const char* text;
  std::int32_t expected;
};
void PrintTo(const CurrentCharCase& c, std::ostream* out) { *out << c.name; }

class CurrentCharTest : public testing::TestWithParam<CurrentCharCase> {};

TEST_P(CurrentCharTest, ReadsWholeCharacters) {
  const TextString s = Make(GetParam().text);
  EXPECT_EQ(s.CurrentChar(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Text, CurrentCharTest,
    testing::Values(CurrentCharCase{"Ascii", "A", 0x41}, CurrentCharCase{"DoubleByte", "\x90\xBB", 0x90BB},
                    CurrentCharCase{"TrailBackslash", "\x95\x5C", 0x955C},
                    CurrentCharCase{"HalfWidthKana", "\xB1", 0xB1}, CurrentCharCase{"LeadBeforeNul", "\x90", 0},
                    CurrentCharCase{"LeadBeforeNonTrail", "\x90\x20", 0}, CurrentCharCase{"AtTheNul", "", 0}),
    [](const testing::TestParamInfo<CurrentCharCase>& info) { return info.param.name; });

TEST(TextStringCurrentChar, UnsetCursorAndMovedCursor) {
  TextString s = Make("a\x90\xBB");
  s.cursor = s.data + 1;
  EXPECT_EQ(s.CurrentChar(), 0x90BB);
  s.cursor = nullptr;
  EXPECT_EQ(s.CurrentChar(), 0);
}

struct CompareCase {
  const char* name;
  const char* text;
  const char* other;
  int sign;
};
void PrintTo(const CompareCase& c, std::ostream* out) { *out << c.name; }

class CompareNoCaseTest : public testing::TestWithParam<CompareCase> {};

TEST_P(CompareNoCaseTest, FoldsLettersOfBothWidths) {
  const CompareCase& c = GetParam();
  const TextString s = Make(c.text);
  const std::int32_t result = s.CompareNoCase(c.other);
  EXPECT_EQ((result > 0) - (result < 0), c.sign);
}

INSTANTIATE_TEST_SUITE_P(Text, CompareNoCaseTest,
                         testing::Values(CompareCase{"AsciiCase", "HarborLanternFete", "harborlanternfete", 0},
                                         CompareCase{"FullWidthCase", "ＡＢＣ製品", "ａｂｃ製品", 0},
                                         CompareCase{"Less", "abc", "ABD", -1}, CompareCase{"Greater", "abd", "ABC", 1},
                                         CompareCase{"Prefix", "ab", "abc", -1},
                                         CompareCase{"DoubleByteDiffers", "製品", "製造", 1},
                                         CompareCase{"EmptyEqualsEmpty", "", "", 0}),
                         [](const testing::TestParamInfo<CompareCase>& info) { return info.param.name; });

TEST(TextStringCompareNoCase, ComparesFromTheCursorAndUnsetEqualsNothing) {
  TextString s = Make("key=NAME");
  s.cursor = s.data + 4;
  EXPECT_EQ(s.CompareNoCase("name"), 0);
  const TextString none;
  EXPECT_EQ(none.CompareNoCase(""), -1);
}

}  // namespace
