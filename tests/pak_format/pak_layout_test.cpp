// The bytes the pak writer lays down, checked field by field, and the data
// start arithmetic.
#include <gtest/gtest.h>

#include <cstring>

#include "archive/pak_writer.h"
#include "pak_test_support.h"

namespace {

using pak_test::Inflate;
using pak_test::Slice;
using pak_test::U32At;

std::uint32_t KeyOf(const std::string& text) { return EncryptionV2().MakeKey(text.c_str()); }

std::vector<std::uint8_t> Ramp(std::size_t n) {
  std::vector<std::uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i);
  return bytes;
}

// bytes[i] ^= key byte (i mod 4) for i below limit.
std::vector<std::uint8_t> XorAligned(std::vector<std::uint8_t> bytes, std::uint32_t key, std::size_t limit) {
  for (std::size_t i = 0; i < bytes.size() && i < limit; ++i)
    bytes[i] ^= static_cast<std::uint8_t>(key >> (8 * (i % 4)));
  return bytes;
}

TEST(PakLayoutTest, Version0HasPlainRecordsWithAbsoluteOffsets) {
  PakContents contents;
  contents.version = 0;
  contents.entries = {{"ab", Ramp(5), false, 0x01020304u}, {"c", Ramp(3), false, 9}};
  const auto pak = BuildPak(contents);
  // 8-byte header, then records of 4 + name + 12 bytes.
  const std::size_t dataArea = 8 + (16 + 2) + (16 + 1);
  ASSERT_EQ(pak.size(), dataArea + 5 + 3);
  EXPECT_EQ(U32At(pak, 0), 0u);
  EXPECT_EQ(U32At(pak, 4), 2u);
  EXPECT_EQ(U32At(pak, 8), 2u);
  EXPECT_EQ(Slice(pak, 12, 2), (std::vector<std::uint8_t>{'a', 'b'}));
  EXPECT_EQ(U32At(pak, 14), dataArea);
  EXPECT_EQ(U32At(pak, 18), 0x01020304u);
  EXPECT_EQ(U32At(pak, 22), 5u);
  EXPECT_EQ(U32At(pak, 26), 1u);
  EXPECT_EQ(U32At(pak, 31), dataArea + 5);
  EXPECT_EQ(U32At(pak, 39), 3u);
  EXPECT_EQ(Slice(pak, dataArea, 5), Ramp(5));
}

TEST(PakLayoutTest, Versions1And2KeepSizesPlainBeforeThePackedIndex) {
  for (std::uint32_t version : {1u, 2u}) {
    SCOPED_TRACE(testing::Message() << "version " << version);
    PakContents contents;
    contents.version = version;
    contents.keyText = "key";
    contents.sizeKey = 0x55AA55AAu;
    contents.entries = {{"name", Ramp(20), false, 3}};
    const auto pak = BuildPak(contents);
    const std::size_t headerSize = version == 1 ? 16 : 276;
    EXPECT_EQ(U32At(pak, 0), version);
    EXPECT_EQ(U32At(pak, 4), 1u);
    const std::uint32_t indexSize = U32At(pak, 8);
    const std::uint32_t packedIndexSize = U32At(pak, 12);
    EXPECT_EQ(indexSize, 4u + 4u + 20u);
    if (version == 2) {
      EXPECT_EQ(U32At(pak, 16), 0x55AA55AAu);
      EXPECT_EQ(Slice(pak, 20, 4), (std::vector<std::uint8_t>{'k', 'e', 'y', 0}));
    }
    const auto index = Inflate(Slice(pak, headerSize, packedIndexSize), indexSize);
    ASSERT_EQ(index.size(), indexSize);
    EXPECT_EQ(U32At(index, 0), 4u);
    const std::uint32_t plainFields[] = {0, 20, 3, 0, 0};  // dataOffset size spare packed packedSize
    for (std::size_t f = 0; f < 5; ++f) EXPECT_EQ(U32At(index, 8 + 4 * f), plainFields[f]) << "field " << f;
    EXPECT_EQ(Slice(pak, headerSize + packedIndexSize, 20), Ramp(20));
    EXPECT_EQ(pak.size(), headerSize + packedIndexSize + 20);
  }
}

TEST(PakLayoutTest, Versions3And4EncipherHeaderSizesAndRecordNumbers) {
  for (std::uint32_t version : {3u, 4u}) {
    SCOPED_TRACE(testing::Message() << "version " << version);
    PakContents contents;
    contents.version = version;
    contents.keyText = "ゲーム鍵";
    contents.sizeKey = 0x0BADF00Du;
    contents.entries = {{"abc", Ramp(8), false, 77}, {"", Ramp(4), false, 5}};
    const auto pak = BuildPak(contents);
    const std::uint32_t k1 = KeyOf(contents.keyText);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(pak.data() + 4)), contents.keyText);
    EXPECT_EQ(U32At(pak, 260), contents.sizeKey);
    const std::uint32_t indexSize = U32At(pak, 264) ^ k1;
    EXPECT_EQ(U32At(pak, 268) ^ k1, 2u);
    const std::uint32_t packedIndexSize = U32At(pak, 272) ^ contents.sizeKey;
    EXPECT_EQ(indexSize, (4u + 3u + 20u) + (4u + 20u));

    const auto index = Inflate(Slice(pak, 276, packedIndexSize), indexSize);
    ASSERT_EQ(index.size(), indexSize);
    // "abc": numbers XOR MakeKey("abc") = 1834118.
    EXPECT_EQ(U32At(index, 0), 3u);
    const std::uint32_t first[] = {0, 8, 77, 0, 0};
    for (std::size_t f = 0; f < 5; ++f) EXPECT_EQ(U32At(index, 7 + 4 * f), first[f] ^ 1834118u) << "field " << f;
    // A record without a name has key 0: its numbers are plain.
    EXPECT_EQ(U32At(index, 27), 0u);
    const std::uint32_t second[] = {8, 4, 5, 0, 0};
    for (std::size_t f = 0; f < 5; ++f) EXPECT_EQ(U32At(index, 31 + 4 * f), second[f]) << "field " << f;
  }
}

TEST(PakLayoutTest, KeyTextStartingWithZeroGivesK1Zero) {
  for (std::uint32_t version : {3u, 4u}) {
    PakHeader header = MakePakHeader(version, "", 0x01010101u);
    std::memset(header.keyText + 1, 'x', 20);  // after the first NUL: not part of the key
    EXPECT_EQ(header.KeyTextKey(), 0u);
    const auto head = BuildPakHead(header, {}, 6);
    EXPECT_EQ(U32At(head, 264), header.indexSize);
    EXPECT_EQ(U32At(head, 268), 0u);
    EXPECT_EQ(U32At(head, 272), header.packedIndexSize ^ 0x01010101u);
    OCArchive stream;
    stream.OpenMemory(head.data(), static_cast<std::uint32_t>(head.size()));
    PakHeader read;
    ASSERT_TRUE(read.Read(stream));
    EXPECT_EQ(read.packedIndexSize, header.packedIndexSize);
    EXPECT_EQ(read.keyText[1], 'x');
  }
}

TEST(PakLayoutTest, EntryDataIsEncipheredAsTheReadersDecipherIt) {
  const std::string name = "絵\\cg.bmp";
  const std::uint32_t key = KeyOf(name);
  const auto plain = Ramp(2000);
  const struct {
    std::uint32_t version;
    bool packed;
    std::size_t enciphered;
  } cases[] = {
      {1, false, 0},  {1, true, 0},  {2, false, 0},    {2, true, 0},
      {3, false, 16}, {3, true, 16}, {4, false, 1024}, {4, true, 2000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "version " << c.version << (c.packed ? " packed" : " stored"));
    const auto entry = PreparePakEntry(c.version, name, plain, c.packed, 0, 9);
    const auto stored = c.packed ? Inflate(entry.bytes, plain.size()) : entry.bytes;
    EXPECT_EQ(stored, XorAligned(plain, key, c.enciphered));
    EXPECT_EQ(entry.record.size, 2000u);
    EXPECT_EQ(entry.record.packed, c.packed ? 1u : 0u);
    EXPECT_EQ(entry.record.packedSize, c.packed ? entry.bytes.size() : 0u);
  }
}

TEST(PakLayoutTest, HeaderSizesAndDataStarts) {
  const std::uint32_t headerSizes[] = {16, 16, 276, 276, 276, 16};
  const std::uint32_t indexStarts[] = {8, 16, 276, 276, 276};
  for (std::uint32_t version = 0; version <= 5; ++version) {
    EXPECT_EQ(PakHeaderSize(version), headerSizes[version]) << version;
    if (version <= 4) {
      EXPECT_EQ(PakIndexStart(version), indexStarts[version]) << version;
      EXPECT_EQ(EncodePakHeader(MakePakHeader(version, "", 0)).size(), indexStarts[version]) << version;
    }
  }
  PakHeader header;
  PakIndexEntry entry;
  header.packedIndexSize = 100;
  entry.dataOffset = 7;
  const struct {
    std::uint32_t version;
    std::uint32_t start;
  } starts[] = {{0, 7}, {1, 16 + 100 + 7}, {2, 276 + 100 + 7}, {3, 276 + 100 + 7}, {4, 276 + 100 + 7}};
  for (const auto& s : starts) {
    header.version = s.version;
    EXPECT_EQ(PakDataStart(header, entry), s.start) << "version " << s.version;
  }
  // 32-bit arithmetic.
  header.version = 4;
  entry.dataOffset = 0xFFFFFFF0u;
  EXPECT_EQ(PakDataStart(header, entry), 276u + 100u - 16u);
}

}  // namespace
