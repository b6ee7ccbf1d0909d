// Read, Seek, Size, ReadWhole, ReadLengthPrefixed and ReadPacked in every
// state an archive can stand in.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "archive/oc_archive.h"
#include "archive/pak_format.h"
#include "errors/oc_exception.h"
#include "tests/archive/archive_fixture.h"

namespace {

using archive_test::ArchiveTest;
using archive_test::Bytes;
using archive_test::Deflate;
using archive_test::NoiseBytes;
using archive_test::TextOf;
using archive_test::ToBytes;

class ReadTest : public ArchiveTest {};

TEST_F(ReadTest, NothingOpenReadsNothingAndSeekChangesNothing) {
  OCArchive archive;
  archive.Seek(12);
  ExpectNothingOpen(archive);
  TextString text;
  text.Assign("old");
  archive.ReadWhole(text);
  EXPECT_EQ(TextOf(text), "");
  EXPECT_EQ(text.capacity, 64);
}

TEST_F(ReadTest, LooseFileReadsSeeksAndSizesWithoutMovingThePosition) {
  const Bytes content = NoiseBytes(1000, 1);
  WriteFile("loose.bin", content);
  OCArchive archive;
  ASSERT_EQ(archive.Open("loose.bin", 0), 1);
  std::uint8_t head[10];
  ASSERT_EQ(archive.Read(10, head), 10u);
  EXPECT_EQ(archive.Size(), 1000u);
  EXPECT_EQ(archive.position, 10);
  std::uint8_t next = 0;
  ASSERT_EQ(archive.Read(1, &next), 1u);
  EXPECT_EQ(next, content[10]);

  archive.Seek(995);
  std::uint8_t tail[10] = {};
  EXPECT_EQ(archive.Read(10, tail), 5u);  // the end of the file gives the shorter count
  EXPECT_EQ(archive.position, 1000);
  EXPECT_EQ(0, std::memcmp(tail, content.data() + 995, 5));
}

TEST_F(ReadTest, MemoryModeStopsAtTheEndOfTheBlock) {
  // The block is the front of a larger buffer: bytes behind it must never come.
  const Bytes buffer = ToBytes("0123456789ABCDEF");
  OCArchive archive;
  archive.OpenMemory(buffer.data(), 10);
  EXPECT_EQ(archive.Size(), 10u);
  char out[16] = {};
  EXPECT_EQ(archive.Read(4, out), 4u);
  EXPECT_EQ(archive.Read(16, out), 6u);
  EXPECT_EQ(std::string(out, 6), "456789");
  EXPECT_EQ(archive.position, 10);
  EXPECT_EQ(archive.Read(1, out), 0u);

  const std::int32_t outside[] = {-1, 11, 0x7FFFFFFF};
  for (std::int32_t offset : outside) {
    archive.Seek(offset);
    EXPECT_EQ(archive.position, offset);
    EXPECT_EQ(archive.Read(1, out), 0u) << offset;
  }
  archive.Seek(8);
  EXPECT_EQ(archive.Read(16, out), 2u);
  EXPECT_EQ(std::string(out, 2), "89");
}

TEST_F(ReadTest, ReadWholeStopsAtTheFirstZeroByte) {
  WriteFile("zero.txt", Bytes{0x61, 0x62, 0x00, 0x63, 0x64});
  WriteFile("empty.txt", {});
  OCArchive archive;
  TextString text;
  ASSERT_EQ(archive.Open("zero.txt", 0), 1);
  archive.ReadWhole(text);
  EXPECT_EQ(TextOf(text), "ab");
  EXPECT_EQ(text.length, 2);
  EXPECT_EQ(text.cursor, text.data);
  ASSERT_EQ(archive.Open("empty.txt", 0), 1);
  archive.ReadWhole(text);
  ASSERT_NE(text.data, nullptr);
  EXPECT_EQ(text.length, 0);
  EXPECT_EQ(text.capacity, 64);
}

TEST_F(ReadTest, ReadWholeOfASizeNoTextCanHoldReadsNothing) {
  const Bytes buffer(16, 'x');
  for (std::uint32_t size : {0x7FFFFFC0u, 0x80000000u, 0xFFFFFFFFu}) {
    OCArchive archive;
    // The block claims more than it has; nothing may be read for it.
    archive.OpenMemory(buffer.data(), size);
    TextString text;
    text.Assign("old");
    archive.ReadWhole(text);
    EXPECT_EQ(text.data, nullptr) << size;
    EXPECT_EQ(archive.position, 0) << size;
  }
}

struct PrefixedCase {
  const char* label;
  Bytes bytes;
  bool complete;
  std::string text;  // "" with hasStorage false: no storage
  bool hasStorage;
  std::int64_t positionAfter;
};

TEST_F(ReadTest, ReadLengthPrefixedTakesOnlyWhatIsThere) {
  const PrefixedCase cases[] = {
      {"three bytes", {3, 0, 0, 0, 'a', 'b', 'c', 'z'}, true, "abc", true, 7},
      {"empty", {0, 0, 0, 0, 'z'}, true, "", false, 4},
      {"zero inside", {3, 0, 0, 0, 'a', 0, 'c'}, true, "a", true, 7},
      {"count past the end", {5, 0, 0, 0, 'a'}, false, "", false, 5},
      {"count of 2^31 - 64", {0xC0, 0xFF, 0xFF, 0x7F, 'a'}, false, "", false, 5},
      {"all ones", {0xFF, 0xFF, 0xFF, 0xFF}, false, "", false, 4},
      {"short count", {2, 0}, false, "", false, 2},
  };
  for (const PrefixedCase& c : cases) {
    SCOPED_TRACE(c.label);
    for (bool inMemory : {true, false}) {
      OCArchive archive;
      if (inMemory) {
        archive.OpenMemory(c.bytes.data(), static_cast<std::uint32_t>(c.bytes.size()));
      } else {
        WriteFile("counted.bin", c.bytes);
        ASSERT_EQ(archive.Open("counted.bin", 0), 1);
      }
      TextString text;
      text.Assign("old");
      EXPECT_EQ(archive.ReadLengthPrefixed(text), c.complete);
      EXPECT_EQ(text.data != nullptr, c.hasStorage);
      EXPECT_EQ(TextOf(text), c.text);
      EXPECT_EQ(archive.position, c.positionAfter);
    }
  }
}

// ReadPacked over a loose file holding a zlib stream (and what follows it).
class PackedTest : public ArchiveTest {
 protected:
  void Store(const Bytes& bytes) {
    archive_.Close();  // Windows cannot replace a file that is open
    WriteFile("packed.bin", bytes);
    ASSERT_EQ(archive_.Open("packed.bin", 0), 1);
  }

  void ExpectDecompressionError(std::uint32_t packedLength, Bytes& block) {
    try {
      archive_.ReadPacked(packedLength, block.data(), static_cast<std::uint32_t>(block.size()));
      ADD_FAILURE() << "no decompression error";
    } catch (const OCErrorException& error) {
      EXPECT_EQ(TextOf(error.message), "データ解凍に失敗しました。");
    }
  }

  OCArchive archive_;
};

TEST_F(PackedTest, StreamOverSeveralInputChunksInflatesWhole) {
  const Bytes plain = NoiseBytes(20000, 2);
  const Bytes packed = Deflate(plain);
  ASSERT_GT(packed.size(), 3 * 4096u);
  Store(packed);
  Bytes block(plain.size());
  EXPECT_EQ(archive_.ReadPacked(static_cast<std::uint32_t>(packed.size()), block.data(), 20000), 20000u);
  EXPECT_EQ(block, plain);
  EXPECT_EQ(archive_.position, static_cast<std::int64_t>(packed.size()));
}

TEST_F(PackedTest, BytesAfterTheStreamAreLeftAlone) {
  const Bytes plain = ToBytes("short text, short text, short text");
  Bytes file = Deflate(plain);
  const std::size_t streamSize = file.size();
  file.resize(file.size() + 100, 0xEE);
  Store(file);
  Bytes block(plain.size() + 8, 0x11);
  EXPECT_EQ(archive_.ReadPacked(static_cast<std::uint32_t>(file.size()), block.data(),
                                static_cast<std::uint32_t>(block.size())),
            plain.size());
  EXPECT_TRUE(std::equal(plain.begin(), plain.end(), block.begin()));
  EXPECT_EQ(block.back(), 0x11);  // the rest of the block as it was
  EXPECT_GE(archive_.position, static_cast<std::int64_t>(streamSize));
  EXPECT_LE(archive_.position, static_cast<std::int64_t>(file.size()));
}

TEST_F(PackedTest, ZeroPackedLengthFails) {
  Store(Deflate(ToBytes("abc")));
  Bytes block(3);
  ExpectDecompressionError(0, block);
  EXPECT_EQ(archive_.position, 0);
}

TEST_F(PackedTest, BlockOneByteTooSmallFailsAfterFillingIt) {
  const Bytes plain = NoiseBytes(5000, 3);
  const Bytes packed = Deflate(plain);
  Store(packed);
  Bytes block(plain.size() - 1);
  ExpectDecompressionError(static_cast<std::uint32_t>(packed.size()), block);
  EXPECT_TRUE(std::equal(block.begin(), block.end(), plain.begin()));
}

TEST_F(PackedTest, StreamLongerThanItsLengthFailsWithoutReadingFurther) {
  const Bytes plain = NoiseBytes(9000, 4);
  const Bytes packed = Deflate(plain);
  Store(packed);
  Bytes block(plain.size());
  const auto packedLength = static_cast<std::uint32_t>(packed.size() - 1);
  ExpectDecompressionError(packedLength, block);
  EXPECT_EQ(archive_.position, static_cast<std::int64_t>(packedLength));
}

TEST_F(PackedTest, FileEndingInsideTheStreamFails) {
  const Bytes plain = NoiseBytes(9000, 5);
  Bytes packed = Deflate(plain);
  const auto packedLength = static_cast<std::uint32_t>(packed.size());
  packed.resize(packed.size() / 2);
  Store(packed);
  Bytes block(plain.size());
  ExpectDecompressionError(packedLength, block);
  EXPECT_EQ(archive_.position, static_cast<std::int64_t>(packed.size()));
}

TEST_F(PackedTest, DamagedStreamsFail) {
  const Bytes plain = NoiseBytes(300, 6);
  Bytes badAdler = Deflate(plain);
  badAdler.back() ^= 0x01;
  Bytes badHeader = Deflate(plain);
  badHeader[0] = 0x00;
  for (const Bytes& stream : {badAdler, badHeader}) {
    Store(stream);
    Bytes block(plain.size());
    ExpectDecompressionError(static_cast<std::uint32_t>(stream.size()), block);
  }
}

TEST_F(PackedTest, InflatesFromMemoryMode) {
  const Bytes plain = NoiseBytes(100, 7);
  const Bytes packed = Deflate(plain);
  OCArchive archive;
  archive.OpenMemory(packed.data(), static_cast<std::uint32_t>(packed.size()));
  Bytes block(plain.size());
  EXPECT_EQ(archive.ReadPacked(static_cast<std::uint32_t>(packed.size()) + 50, block.data(), 100), 100u);
  EXPECT_EQ(block, plain);
}

class EntryReadTest : public ArchiveTest {};

TEST_F(EntryReadTest, StoredVersion4EntryReadsTheSameInAnySplit) {
  const Bytes plain = NoiseBytes(1500, 8);
  WriteFile("data.pak", archive_test::BuildTestPak(4, {{"first.bin", NoiseBytes(40, 9)}, {"entry.bin", plain}}));
  OCArchive archive;
  ASSERT_EQ(archive.Open("entry.bin", 0), 1);
  EXPECT_EQ(archive.Size(), 1500u);
  Bytes whole(25);
  ASSERT_EQ(archive.Read(25, whole.data()), 25u);
  archive.Seek(0);
  Bytes split(25);
  ASSERT_EQ(archive.Read(5, split.data()), 5u);
  ASSERT_EQ(archive.Read(20, split.data() + 5), 20u);
  EXPECT_EQ(whole, split);
  EXPECT_TRUE(std::equal(whole.begin(), whole.end(), plain.begin()));

  // Inside and past the enciphered first 1024 bytes, from any position.
  for (std::int32_t offset : {3, 1020, 1024, 1490}) {
    archive.Seek(offset);
    EXPECT_EQ(archive.position, offset);
    std::uint8_t piece[10] = {};
    const std::uint32_t got = archive.Read(10, piece);
    EXPECT_EQ(got, 10u);
    EXPECT_EQ(0, std::memcmp(piece, plain.data() + offset, got)) << offset;
  }
}

TEST_F(EntryReadTest, PackedEntryIsAClippedBlockThatCloseReleases) {
  const Bytes plain = NoiseBytes(3000, 10);
  WriteFile("data.pak", archive_test::BuildTestPak(4, {{"packed.bin", plain, true}, {"z", ToBytes("zz")}}));
  OCArchive archive;
  ASSERT_EQ(archive.Open("packed.bin", 0), 1);
  EXPECT_EQ(archive.inMemory, 1u);
  EXPECT_EQ(archive.ownsMemory, 1u);
  EXPECT_NE(archive.file, nullptr);
  EXPECT_EQ(archive.Size(), 3000u);
  archive.Seek(2990);
  Bytes tail(50);
  EXPECT_EQ(archive.Read(50, tail.data()), 10u);
  EXPECT_TRUE(std::equal(plain.end() - 10, plain.end(), tail.begin()));
  archive.Seek(0);
  EXPECT_EQ(ReadBytes(archive), plain);
  archive.Close();
  ExpectNothingOpen(archive);
}

}  // namespace
