// Tests of printf-style output into a TextString: the size estimate and bounded writes.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tests/text/failing_allocator.h"
#include "text/text_string.h"

namespace {

// What the platform's formatter itself makes of format and its arguments.
std::string Reference(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  std::va_list again;
  va_copy(again, arguments);
  const int n = std::vsnprintf(nullptr, 0, format, arguments);
  va_end(arguments);
  std::vector<char> buffer(static_cast<std::size_t>(n) + 1);
  std::vsnprintf(buffer.data(), buffer.size(), format, again);
  va_end(again);
  return std::string(buffer.data(), static_cast<std::size_t>(n));
}

std::string TextOf(const TextString& s) {
  EXPECT_NE(s.data, nullptr);
  EXPECT_EQ(static_cast<std::size_t>(s.length), std::strlen(s.data));
  EXPECT_LE(s.length, s.capacity);
  return std::string(s.data, static_cast<std::size_t>(s.length));
}

TEST(TextFormat, JoinsPathsWithTheCursorAtTheStart) {
  TextString s;
  s.Assign("old text");
  s.Format("%s\\%s", "C:\\games", "data.pak");
  EXPECT_EQ(TextOf(s), "C:\\games\\data.pak");
  EXPECT_EQ(s.cursor, s.data);
}

TEST(TextFormat, AppendKeepsTheCursorOffsetAcrossGrowth) {
  TextString s;
  s.Assign(std::string(60, 'd').c_str());
  s.cursor = s.data + 7;
  s.AppendFormat("\\%s", "product.ini");
  EXPECT_EQ(TextOf(s), std::string(60, 'd') + "\\product.ini");
  EXPECT_EQ(s.capacity, 128);
  EXPECT_EQ(s.cursor, s.data + 7);
}

TEST(TextFormat, MessageWithPathAndNullText) {
  TextString s;
  s.Format("ファイル %s が開けません。", "script\\product.ini");
  EXPECT_EQ(TextOf(s), Reference("ファイル %s が開けません。", "script\\product.ini"));
  EXPECT_EQ(std::string(s.data, 9), "\x83\x74\x83\x40\x83\x43\x83\x8B ");

  const char* none = nullptr;
  s.Format("%s", none);
  EXPECT_EQ(TextOf(s), "(null)");
}

TEST(TextFormat, EmptyFormatGivesStorage) {
  TextString s;
  s.AppendFormat("");
  EXPECT_EQ(TextOf(s), "");
  EXPECT_EQ(s.capacity, 64);
}

// The estimate decides the one growth, so it shows in the capacity: a
// string of length 0 grows to the next multiple of 64 above the estimate.
struct EstimateCase {
  const char* name;
  std::function<void(TextString&)> format;
  std::int32_t capacity;
  std::string text;
};
void PrintTo(const EstimateCase& c, std::ostream* out) { *out << c.name; }

class FormatEstimateTest : public testing::TestWithParam<EstimateCase> {};

TEST_P(FormatEstimateTest, GrowsOnceByTheEstimate) {
  const EstimateCase& c = GetParam();
  TextString s;
  const std::int64_t before = failing_allocator::Count();
  c.format(s);
  EXPECT_EQ(failing_allocator::Count() - before, 1) << "the buffer is allocated once";
  EXPECT_EQ(s.capacity, c.capacity);
  EXPECT_EQ(TextOf(s), c.text);
}

const char* const kNull = nullptr;
const std::string k70(70, 's');
const std::string k62(62, 'x');
const std::string k58(58, 'x');

INSTANTIATE_TEST_SUITE_P(
    Text, FormatEstimateTest,
    testing::Values(
        EstimateCase{"IntegerIs32", [](TextString& s) { s.Format("%d", 5); }, 64, "5"},
        EstimateCase{"IntegerWidth", [](TextString& s) { s.Format("%100d", 5); }, 128, std::string(99, ' ') + "5"},
        EstimateCase{"IntegerWidthPlusPrecision", [](TextString& s) { s.Format("%40.30u", 5u); }, 128,
                     std::string(10, ' ') + std::string(29, '0') + "5"},
        EstimateCase{"StarWidth", [](TextString& s) { s.Format("%*x", 70, 255); }, 128, std::string(68, ' ') + "ff"},
        EstimateCase{"AlternateAddsTwo", [](TextString& s) { s.Format("%#62x", 255); }, 128,
                     std::string(58, ' ') + "0xff"},
        EstimateCase{"WithoutAlternate", [](TextString& s) { s.Format("%62x", 255); }, 64, std::string(60, ' ') + "ff"},
        EstimateCase{"PercentCountsOne", [](TextString& s) { s.Format("%s%%", k62.c_str()); }, 64, k62 + "%"},
        EstimateCase{"StringLength", [](TextString& s) { s.Format("%s", k70.c_str()); }, 128, k70},
        EstimateCase{"StringCutByPrecision", [](TextString& s) { s.Format("%.5s", k70.c_str()); }, 64, "sssss"},
        EstimateCase{"StringRaisedToWidth", [](TextString& s) { s.Format("%66s", "ab"); }, 128,
                     std::string(64, ' ') + "ab"},
        EstimateCase{"NullStringIsSix", [](TextString& s) { s.Format("%s%s", k58.c_str(), kNull); }, 128,
                     k58 + "(null)"},
        EstimateCase{"CharacterIsTwo", [](TextString& s) { s.Format("%s%c", k62.c_str(), 'Z'); }, 128, k62 + "Z"},
        EstimateCase{"WideString", [](TextString& s) { s.Format("%ls", L"wide"); }, 64, "wide"},
        EstimateCase{"ExponentIs128", [](TextString& s) { s.Format("%e", 1.5); }, 192, "1.500000e+00"},
        EstimateCase{"FixedIsMeasured", [](TextString& s) { s.Format("%f", 1e100); }, 128, Reference("%f", 1e100)},
        EstimateCase{"FixedWithPrecision", [](TextString& s) { s.Format("%.60f", 0.5); }, 128,
                     "0." + std::string("5") + std::string(59, '0')},
        EstimateCase{"DoubleByteText", [](TextString& s) { s.Format("製品%s", "情報"); }, 64, "製品情報"},
        EstimateCase{"MixedArguments", [](TextString& s) { s.Format("%d %s %f %s", 7, "a", 2.5, "b"); }, 64,
                     "7 a 2.500000 b"}),
    [](const testing::TestParamInfo<EstimateCase>& info) { return info.param.name; });

// Output the estimate does not foresee still arrives whole and inside the
// buffer (AddressSanitizer watches the writes).
struct ShortEstimateCase {
  const char* name;
  std::function<void(TextString&)> format;
  std::string expected;
};
void PrintTo(const ShortEstimateCase& c, std::ostream* out) { *out << c.name; }

class FormatShortEstimateTest : public testing::TestWithParam<ShortEstimateCase> {};

TEST_P(FormatShortEstimateTest, GrowsAgainAndWritesEverything) {
  const ShortEstimateCase& c = GetParam();
  TextString s;
  s.Assign("head:");
  c.format(s);
  EXPECT_EQ(TextOf(s), "head:" + c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Text, FormatShortEstimateTest,
    testing::Values(
        ShortEstimateCase{"UpperExponent", [](TextString& s) { s.AppendFormat("%E", 1.5e300); }, "1.500000E+300"},
        ShortEstimateCase{"UpperFixed", [](TextString& s) { s.AppendFormat("%F", 1e300); }, Reference("%F", 1e300)},
        ShortEstimateCase{"HexFloat", [](TextString& s) { s.AppendFormat("%a|%s", 1.0, "after"); },
                          Reference("%a|%s", 1.0, "after")},
        ShortEstimateCase{"NegativeStarWidth", [](TextString& s) { s.AppendFormat("%*s|", -200, "a"); },
                          "a" + std::string(199, ' ') + "|"},
        ShortEstimateCase{"LongLongThenString",
                          [](TextString& s) { s.AppendFormat("%lld %s %zu", 1234567890123LL, "ok", std::size_t{9}); },
                          "1234567890123 ok 9"},
        ShortEstimateCase{"ManyShortItems",
                          [](TextString& s) {
                            s.AppendFormat("%E%E%E%E%E%E%E%E%E%E", 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 1e10);
                          },
                          Reference("%E%E%E%E%E%E%E%E%E%E", 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 1e10)}),
    [](const testing::TestParamInfo<ShortEstimateCase>& info) { return info.param.name; });

TEST(TextFormat, ConversionCutOffByTheEndIsDropped) {
  for (const std::string format : {"abc%", "abc%-", "abc%#5.", "abc%.5", "abc%l", "abc%I64"}) {
    // Exactly as long as the text, so reading past its NUL is caught.
    const auto copy = std::make_unique<char[]>(format.size() + 1);
    std::memcpy(copy.get(), format.c_str(), format.size() + 1);
    TextString s;
    s.Assign("head");
    s.AppendFormat(copy.get());
    EXPECT_EQ(s.capacity, 64) << format;
    EXPECT_EQ(TextOf(s), "headabc") << format;
  }
}

TEST(TextFormat, AbsurdWidthNeitherOverflowsNorAllocatesItsSize) {
  TextString s;
  s.Assign("abc");
  const std::int64_t before = failing_allocator::Count();
  s.AppendFormat("%99999999999999999999999d", 1);
  EXPECT_EQ(failing_allocator::Count(), before);
  EXPECT_EQ(TextOf(s), "abc");
}

TEST(TextFormat, OutOfMemoryLeavesAppendAsItWasAndFormatWithoutStorage) {
  TextString s;
  s.Assign(std::string(60, 'a').c_str());
  {
    failing_allocator::Armed armed(0);
    EXPECT_THROW(s.AppendFormat("%s", "more than four bytes"), std::bad_alloc);
  }
  EXPECT_EQ(TextOf(s), std::string(60, 'a'));

  {
    failing_allocator::Armed armed(0);
    EXPECT_THROW(s.Format("%s", "x"), std::bad_alloc);
  }
  EXPECT_EQ(s.data, nullptr);
  EXPECT_EQ(s.length, 0);
}

}  // namespace
