// The pak search through Open: every pak version, the order of paks, name
// matching, and what a pak that is passed over leaves behind.
#include "archive/pak_search.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "archive/oc_archive.h"
#include "archive/pak_format.h"
#include "errors/oc_exception.h"
#include "platform/seams.h"
#include "tests/archive/archive_fixture.h"

namespace {

using archive_test::ArchiveTest;
using archive_test::BuildTestPak;
using archive_test::Bytes;
using archive_test::NoiseBytes;
using archive_test::PakLayout;
using archive_test::TestEntry;
using archive_test::TextOf;
using archive_test::ToBytes;
namespace fs = std::filesystem;

class PakSearchTest : public ArchiveTest {
 protected:
  std::string Opened(const char* name) {
    OCArchive archive;
    if (archive.Open(name, 0) == 0) return "<none>";
    return ReadAll(archive);
  }
};

struct VersionCase {
  std::uint32_t version;
  bool packed;
};

TEST_F(PakSearchTest, EveryVersionServesStoredAndPackedEntries) {
  const VersionCase cases[] = {{0, false}, {1, false}, {1, true},  {2, false}, {2, true},
                               {3, false}, {3, true},  {4, false}, {4, true}};
  for (const VersionCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "version " << c.version << (c.packed ? " packed" : " stored"));
    const Bytes before = NoiseBytes(50, 20);
    const Bytes wanted = NoiseBytes(1500, c.version + 30);
    WriteFile("game.pak", BuildTestPak(c.version, {{"script\\before.ini", before, c.packed},
                                                   {"script\\wanted.bin", wanted, c.packed},
                                                   {"script\\after.ini", ToBytes("after"), c.packed}}));
    OCArchive archive;
    ASSERT_EQ(archive.Open("script/wanted.bin", 0), 1);
    EXPECT_EQ(TextOf(archive.openedName), "script\\wanted.bin");
    EXPECT_EQ(TextOf(archive.requestName), RootPath() + "\\game.pak");
    EXPECT_EQ(archive.inPak, 1u);
    EXPECT_EQ(archive.inMemory, c.packed ? 1u : 0u);
    EXPECT_EQ(archive.entryPacked != 0, c.packed);
    EXPECT_NE(archive.file, nullptr);
    EXPECT_EQ(archive.position, 0);
    EXPECT_EQ(archive.entry->header.version, c.version);
    EXPECT_EQ(archive.Size(), wanted.size());
    EXPECT_EQ(ReadBytes(archive), wanted);
    if (!c.packed) {
      EXPECT_NE(archive.baseOffset, 0);
    }
  }
}

TEST_F(PakSearchTest, PaksAreTriedInCaseInsensitiveNameOrder) {
  struct OrderCase {
    const char* first;
    const char* second;
  };
  const OrderCase cases[] = {{"A.pak", "b.pak"}, {"a.pak", "B.pak"}, {"a1.pak", "A2.pak"}};
  for (const OrderCase& c : cases) {
    SCOPED_TRACE(c.first);
    for (const auto& item : fs::directory_iterator(root_)) fs::remove_all(item.path());
    // Written in reverse so that no listing order of the file system helps.
    WriteFile(c.second, BuildTestPak(1, {{"same.txt", ToBytes("second")}}));
    WriteFile(c.first, BuildTestPak(2, {{"same.txt", ToBytes("first")}}));
    EXPECT_EQ(Opened("same.txt"), "first");
  }
}

TEST_F(PakSearchTest, FirstRecordWhoseNameBeginsWithTheRequestWins) {
  WriteFile("data.pak", BuildTestPak(3, {{"script\\product.ini.bak", ToBytes("backup")},
                                         {"script\\product.ini", ToBytes("real")},
                                         {"\x82\x60\x82\x61.txt", ToBytes("full-width")},
                                         {"\x95\x5C\\x.txt", ToBytes("kanji dir")}}));
  struct MatchCase {
    const char* request;
    const char* expected;
  };
  const MatchCase cases[] = {
      {"script\\product.ini", "backup"},      {"script\\PRODUCT.INI", "backup"},      {"SCRIPT/product.ini", "backup"},
      {"script\\\\product.ini", "backup"},    {"script\\product.ini.bak2", "<none>"}, {"script\\product.inx", "<none>"},
      {"\x82\x81\x82\x82.txt", "full-width"},  // full-width small letters match capitals
      {"\x95\x5C\\x.txt", "kanji dir"},       {"\x95\x5C\\\\x.txt", "kanji dir"},
  };
  for (const MatchCase& c : cases) {
    SCOPED_TRACE(c.request);
    EXPECT_EQ(Opened(c.request), c.expected);
  }
}

TEST_F(PakSearchTest, EmptyRequestOpensTheFirstRecordOfTheFirstPakThatHasOne) {
  PakLayout empty(2, {});
  WriteFile("a.pak", empty.Build());
  WriteFile("b.pak", BuildTestPak(0, {{"first", ToBytes("1")}, {"second", ToBytes("2")}}));
  OCArchive archive;
  ASSERT_EQ(SearchPakDirectory(archive, RootPath().c_str(), ""), 1);
  EXPECT_EQ(TextOf(archive.openedName), "first");
}

TEST_F(PakSearchTest, DirectoryWithPakNameAndFilesWithOtherEndingsArePassedOver) {
  fs::create_directories("a.pak");
  WriteFile("a.pak/inner.pak", BuildTestPak(1, {{"x.txt", ToBytes("inner")}}));
  // Not ".pakx": Windows matches "*.pak" against short 8.3 names as well.
  WriteFile("b.pa", BuildTestPak(1, {{"x.txt", ToBytes("pa")}}));
  WriteFile("b.pak.bak", BuildTestPak(1, {{"x.txt", ToBytes("bak")}}));
  WriteFile("c.pak", BuildTestPak(1, {{"x.txt", ToBytes("right")}}));
  EXPECT_EQ(Opened("x.txt"), "right");
}

TEST_F(PakSearchTest, AMissFirstLeavesNoTraceOfThatPak) {
  WriteFile("a.pak", BuildTestPak(4, {{"other.bin", NoiseBytes(200, 40), true}}, "secret", 99));
  WriteFile("b.pak", BuildTestPak(0, {{"wanted.txt", ToBytes("zero")}}));
  OCArchive archive;
  ASSERT_EQ(archive.Open("wanted.txt", 0), 1);
  EXPECT_EQ(TextOf(archive.requestName), RootPath() + "\\b.pak");
  EXPECT_EQ(TextOf(archive.openedName), "wanted.txt");
  EXPECT_EQ(archive.entry->header.version, 0u);
  EXPECT_EQ(archive.entry->header.sizeKey, 0u);
  EXPECT_EQ(archive.entry->packed, 0u);
  EXPECT_EQ(archive.entry->packedSize, 0u);
  EXPECT_EQ(archive.entryPacked, 0u);
  EXPECT_EQ(archive.inMemory, 0u);
  EXPECT_EQ(ReadAll(archive), "zero");
}

TEST_F(PakSearchTest, MissEverywhereLeavesNothingOpen) {
  WriteFile("a.pak", BuildTestPak(4, {{"other.bin", ToBytes("o"), true}}));
  OCArchive archive;
  EXPECT_EQ(SearchPakDirectory(archive, RootPath().c_str(), "wanted"), 0);
  ExpectNothingOpen(archive);
  EXPECT_EQ(archive.entry->packed, 0u);
  EXPECT_EQ(archive.openedName.data, nullptr);
}

TEST_F(PakSearchTest, DirectoryIsTakenWithOrWithoutItsTrailingSeparator) {
  fs::create_directories("sub");
  WriteFile("sub/d.pak", BuildTestPak(1, {{"in-sub", ToBytes("s")}}));
  for (const std::string& dir : {RootPath() + "\\sub", RootPath() + "\\sub\\", std::string("sub")}) {
    SCOPED_TRACE(dir);
    OCArchive archive;
    ASSERT_EQ(SearchPakDirectory(archive, dir.c_str(), "in-sub"), 1);
    EXPECT_EQ(TextOf(archive.requestName), dir.back() == '\\' ? dir + "d.pak" : dir + "\\d.pak");
  }
  OCArchive archive;
  EXPECT_EQ(SearchPakDirectory(archive, (RootPath() + "\\nothere").c_str(), "in-sub"), 0);
}

TEST_F(PakSearchTest, PathExistsAnswersForFilesAndDirectories) {
  WriteFile("file.txt", ToBytes("f"));
  struct ExistsCase {
    std::string path;
    std::int32_t exists;
  };
  const ExistsCase cases[] = {
      {RootPath(), 1}, {RootPath() + "\\file.txt", 1}, {"file.txt", 1}, {RootPath() + "\\missing", 0}, {"", 0},
  };
  for (const ExistsCase& c : cases) EXPECT_EQ(PathExists(c.path.c_str()), c.exists) << c.path;
}

TEST_F(PakSearchTest, PaksOfUnknownVersionOrEmptyIndexArePassedOver) {
  PakLayout unknown(1, {{"x", ToBytes("unknown")}});
  Bytes unknownBytes = unknown.Build();
  unknownBytes[0] = 5;
  WriteFile("a.pak", unknownBytes);
  PakLayout emptyIndex(1, {{"x", ToBytes("empty index")}});
  emptyIndex.header.indexSize = 0;
  WriteFile("b.pak", emptyIndex.Build());
  WriteFile("c.pak", BuildTestPak(1, {{"x", ToBytes("good")}}));
  EXPECT_EQ(Opened("x"), "good");
}

TEST_F(PakSearchTest, IndexPagesThatCannotBeCommittedThrowTheStatus) {
  WriteFile("a.pak", BuildTestPak(1, {{"x", ToBytes("good")}}));
  platform::seams::FailNextVirtualAllocs(1);
  OCArchive archive;
  try {
    archive.Open("x", 0);
    FAIL() << "no throw";
  } catch (std::uint32_t status) {
    EXPECT_EQ(status, 0xC0000017u);
  }
}

TEST_F(PakSearchTest, ImplausibleIndexSizeCommitsNoPages) {
  PakLayout huge(1, {{"x", ToBytes("huge")}});
  huge.header.indexSize = 0xFFFFFFF0u;
  WriteFile("a.pak", huge.Build());
  // Had the pak asked for pages, this failure would have been thrown.
  platform::seams::FailNextVirtualAllocs(1);
  OCArchive archive;
  EXPECT_NO_THROW(EXPECT_EQ(archive.Open("x", 0), 0));
  platform::seams::FailNextVirtualAllocs(0);
  ExpectNothingOpen(archive);
}

TEST_F(PakSearchTest, IndexOrEntryThatDoesNotInflateRaisesTheDecompressionError) {
  PakLayout badIndex(1, {{"x", ToBytes("x")}});
  Bytes badIndexBytes = badIndex.Build();
  badIndexBytes[16 + badIndex.header.packedIndexSize - 1] ^= 0xFF;  // Adler-32 of the index
  PakLayout badEntry(2, {{"x", NoiseBytes(100, 50), true}});
  Bytes badEntryBytes = badEntry.Build();
  badEntryBytes.back() ^= 0xFF;  // Adler-32 of the entry
  for (const Bytes& pak : {badIndexBytes, badEntryBytes}) {
    WriteFile("a.pak", pak);
    OCArchive archive;
    try {
      archive.Open("x", 0);
      ADD_FAILURE() << "no decompression error";
    } catch (const OCErrorException& error) {
      EXPECT_EQ(TextOf(error.message), "データ解凍に失敗しました。");
    }
  }
}

// A backslash inside a POSIX file name: the listing shows the file, but the
// archive's path names a folder "a" instead, so nobody, root included, can
// open the pak by that name. Unlike permissions, this holds for root too.
TEST_F(PakSearchTest, PakThatCannotBeOpenedIsPassedOverAfterIgnore) {
  WriteFile("a\\b.pak", BuildTestPak(1, {{"x", ToBytes("unreachable")}}));
  if (!fs::is_regular_file(root_ / "a\\b.pak") || fs::exists(root_ / "a")) {
    GTEST_SKIP() << "this file system takes a backslash in a name for a separator";
  }
  WriteFile("b.pak", BuildTestPak(1, {{"x", ToBytes("open")}}));
  OCArchive archive;
  ASSERT_EQ(archive.Open("x", 0), 1);
  EXPECT_EQ(ReadAll(archive), "open");
  ASSERT_EQ(dialogs_.size(), 1u);
  EXPECT_EQ(dialogs_[0].text, "ファイル " + RootPath() + "\\a\\b.pak が開けません。");
}

}  // namespace
