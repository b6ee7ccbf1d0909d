// Paks written by the pak writer read back through the header and record readers.
#include <gtest/gtest.h>

#include <cstring>

#include "archive/pak_writer.h"
#include "pak_test_support.h"

namespace {

using pak_test::ReadBack;

std::vector<std::uint8_t> Bytes(std::size_t n, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 13 + (i >> 7));
  return bytes;
}

// Entries around the enciphered prefixes (16, 1024 bytes), an empty one, a
// nameless one and a double-byte name whose trail byte is 0x5C.
PakContents SpecFor(std::uint32_t version) {
  PakContents contents;
  contents.version = version;
  contents.keyText = "鍵テキスト";
  contents.sizeKey = 0xA5C3E1F7u;
  contents.compressionLevel = 6;
  const bool canPack = version != 0;
  contents.entries = {
      {"script\\product.ini", Bytes(15, 1), false, 0},
      {"表示\\画像.bmp", Bytes(1030, 2), canPack, 0x11223344u},
      {"data\\empty.bin", {}, false, 7},
      {"", Bytes(17, 3), false, 0},
      {"data\\big.bin", Bytes(5000, 4), canPack, 0},
      {"data\\stored.bin", Bytes(2048, 5), false, 0xFFFFFFFFu},
  };
  return contents;
}

class PakRoundTripTest : public testing::TestWithParam<std::uint32_t> {};

TEST_P(PakRoundTripTest, ReadersRecoverHeaderRecordsAndData) {
  const PakContents contents = SpecFor(GetParam());
  const auto pak = BuildPak(contents);
  const auto read = ReadBack(pak);

  EXPECT_EQ(read.header.version, contents.version);
  EXPECT_EQ(read.header.entryCount, contents.entries.size());
  if (contents.version >= 2) {
    EXPECT_EQ(read.header.sizeKey, contents.sizeKey);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(read.header.keyText)), contents.keyText);
  }
  ASSERT_EQ(read.records.size(), contents.entries.size());
  for (std::size_t i = 0; i < contents.entries.size(); ++i) {
    const auto& want = contents.entries[i];
    const auto& record = read.records[i];
    SCOPED_TRACE(testing::Message() << "entry " << i);
    EXPECT_EQ(pak_test::NameOf(record), want.name);
    EXPECT_EQ(record.size, want.data.size());
    EXPECT_EQ(record.spare, want.spare);
    EXPECT_EQ(record.packed != 0, want.packed);
    EXPECT_EQ(read.data[i], want.data);
  }
}

TEST_P(PakRoundTripTest, RebuildingFromTheRecordsReadGivesTheSameBytes) {
  const PakContents contents = SpecFor(GetParam());
  const auto pak = BuildPak(contents);
  const auto read = ReadBack(pak);

  PakHeader header = read.header;
  std::vector<PakIndexEntry> records = read.records;
  if (header.version == 0) {
    // Version-0 records hold absolute offsets; the writer counts from the data
    // area, which starts right after the plain index.
    const auto dataAreaStart = static_cast<std::uint32_t>(BuildPakHead(header, records, 6).size());
    for (auto& record : records) record.dataOffset -= dataAreaStart;
  }
  const auto head = BuildPakHead(header, records, contents.compressionLevel);
  EXPECT_EQ(head, pak_test::Slice(pak, 0, head.size()));
  EXPECT_EQ(header.entryCount, read.header.entryCount);
  EXPECT_EQ(header.indexSize, read.header.indexSize);
  EXPECT_EQ(header.packedIndexSize, read.header.packedIndexSize);
}

INSTANTIATE_TEST_SUITE_P(EveryVersion, PakRoundTripTest, testing::Values(0u, 1u, 2u, 3u, 4u));

TEST(PakWriterTest, ExplicitSpareAndPackedSizeAreWrittenAsGiven) {
  for (std::uint32_t version = 1; version <= 4; ++version) {
    auto stored = PreparePakEntry(version, "a.txt", Bytes(40, 9), false, 0, 6);
    stored.record.spare = 0xDEADBEEFu;
    stored.record.packedSize = 12345;  // not used for a stored entry, kept anyway
    PakHeader header = MakePakHeader(version, "key", 99);
    const auto head = BuildPakHead(header, {stored.record}, 6);
    std::vector<std::uint8_t> pak = head;
    pak.insert(pak.end(), stored.bytes.begin(), stored.bytes.end());
    const auto read = ReadBack(pak);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].spare, 0xDEADBEEFu) << "version " << version;
    EXPECT_EQ(read.records[0].packedSize, 12345u) << "version " << version;
    EXPECT_EQ(read.data[0], Bytes(40, 9));
  }
}

TEST(PakWriterTest, KeyTextOfAll256BytesIsTheWholeKey) {
  for (std::uint32_t version : {3u, 4u}) {
    PakContents contents;
    contents.version = version;
    contents.keyText = std::string(256, 'k');
    contents.entries = {{"x", Bytes(100, 1), false, 0}};
    const auto pak = BuildPak(contents);
    char text[257] = {};
    std::memset(text, 'k', 256);
    const std::uint32_t k1 = CipherRegistry::Entry(EncryptionVersionOf(version)).MakeKey(text);
    const auto read = ReadBack(pak);
    EXPECT_EQ(read.header.KeyTextKey(), k1);
    EXPECT_EQ(pak_test::U32At(pak, 268), 1u ^ k1);
    EXPECT_EQ(read.data[0], Bytes(100, 1));
  }
}

TEST(PakWriterTest, RefusesWhatNoReaderCouldRead) {
  const auto prepare = [](std::uint32_t version, const char* name, bool packed, int level) {
    return PreparePakEntry(version, name, {1, 2, 3}, packed, 0, level);
  };
  EXPECT_THROW(prepare(5, "a", false, 6), PakWriteError);
  EXPECT_THROW(prepare(0, "a", true, 6), PakWriteError);
  EXPECT_THROW(prepare(4, "a", true, 10), PakWriteError);
  EXPECT_THROW(PreparePakEntry(4, std::string_view("a\0b", 3), {}, false, 0, 6), PakWriteError);
  EXPECT_THROW(MakePakHeader(4, std::string(257, 'k'), 0), PakWriteError);
  EXPECT_THROW(MakePakHeader(7, "", 0), PakWriteError);

  // Data the archive could not seek to (a signed 32-bit offset).
  auto entry = prepare(4, "far", false, 6);
  entry.record.dataOffset = 0x7FFFFFFFu - 276;
  PakHeader header = MakePakHeader(4, "", 0);
  EXPECT_THROW(BuildPakHead(header, {entry.record}, 6), PakWriteError);
}

}  // namespace
