// Header and record readers on short or damaged input: they report it and
// never take a number from bytes that were not there.
#include <gtest/gtest.h>

#include <string>

#include "archive/pak_writer.h"
#include "pak_test_support.h"

namespace {

std::vector<std::uint8_t> HeaderBytes(std::uint32_t version) {
  // A key text filling all 256 bytes, so its last byte is not zero once read.
  PakHeader header = MakePakHeader(version, std::string(256, 'k'), 0x12345678u);
  header.entryCount = 3;
  header.indexSize = 0x100;
  header.packedIndexSize = 0x80;
  return EncodePakHeader(header);
}

TEST(PakHeaderReadTest, ReadsEveryVersionAndStopsRightAfterTheHeader) {
  for (std::uint32_t version = 0; version <= 4; ++version) {
    SCOPED_TRACE(testing::Message() << "version " << version);
    auto bytes = HeaderBytes(version);
    bytes.push_back(0xEE);  // the index would begin here
    OCArchive stream;
    stream.OpenMemory(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    PakHeader header;
    ASSERT_TRUE(header.Read(stream));
    EXPECT_EQ(stream.position, PakIndexStart(version));
    EXPECT_EQ(header.version, version);
    EXPECT_EQ(header.entryCount, 3u);
    EXPECT_EQ(header.indexSize, version == 0 ? 0u : 0x100u);
    EXPECT_EQ(header.packedIndexSize, version == 0 ? 0u : 0x80u);
    EXPECT_EQ(header.sizeKey, version >= 2 ? 0x12345678u : 0u);
  }
}

TEST(PakHeaderReadTest, TruncatedHeaderReturnsFalseAndKeepsUnreadFieldsZero) {
  for (std::uint32_t version = 0; version <= 4; ++version) {
    const auto full = HeaderBytes(version);
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
      SCOPED_TRACE(testing::Message() << "version " << version << " cut " << cut);
      const std::vector<std::uint8_t> bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut));
      OCArchive stream;
      stream.OpenMemory(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
      PakHeader header;
      EXPECT_FALSE(header.Read(stream));
      // The last field is never complete, so it keeps its initial value.
      const std::uint32_t last = version == 0   ? header.entryCount
                                 : version == 1 ? header.packedIndexSize
                                 : version == 2 ? header.keyText[255]
                                                : header.packedIndexSize;
      EXPECT_EQ(last, 0u);
    }
  }
  // A version-1 header cut inside indexSize: entryCount arrived, indexSize did not.
  const auto full = HeaderBytes(1);
  const std::vector<std::uint8_t> bytes(full.begin(), full.begin() + 10);
  OCArchive stream;
  stream.OpenMemory(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  PakHeader header;
  EXPECT_FALSE(header.Read(stream));
  EXPECT_EQ(header.entryCount, 3u);
  EXPECT_EQ(header.indexSize, 0u);
}

TEST(PakHeaderReadTest, UnknownVersionReadsOnlyTheVersion) {
  auto bytes = HeaderBytes(4);
  bytes[0] = 5;
  OCArchive stream;
  stream.OpenMemory(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  PakHeader header;
  EXPECT_TRUE(header.Read(stream));
  EXPECT_EQ(header.version, 5u);
  EXPECT_EQ(stream.position, 4);
  EXPECT_EQ(header.indexSize, 0u);
  EXPECT_EQ(header.packedIndexSize, 0u);
  EXPECT_EQ(header.entryCount, 0u);
}

// The inflated index of a version-4 pak with two records.
std::vector<std::uint8_t> IndexOf(const std::vector<std::uint8_t>& pak, const PakHeader& header) {
  return pak_test::Inflate(pak_test::Slice(pak, 276, header.packedIndexSize), header.indexSize);
}

TEST(PakIndexEntryReadTest, ReadsTheRecordsAndThenReportsTheEndOfTheIndex) {
  PakContents contents;
  contents.entries = {{"first", {1, 2, 3}, false, 0}, {"second", {4, 5}, true, 0}};
  const auto pak = BuildPak(contents);
  const auto read = pak_test::ReadBack(pak);
  const auto index = IndexOf(pak, read.header);

  OCArchive stream;
  stream.OpenMemory(index.data(), static_cast<std::uint32_t>(index.size()));
  PakIndexEntry entry;
  entry.header = read.header;
  ASSERT_TRUE(entry.Read(stream));
  EXPECT_EQ(pak_test::NameOf(entry), "first");
  ASSERT_TRUE(entry.Read(stream));
  EXPECT_EQ(pak_test::NameOf(entry), "second");
  EXPECT_EQ(entry.dataOffset, 3u);
  EXPECT_EQ(entry.packed, 1u);
  EXPECT_FALSE(entry.Read(stream));
}

TEST(PakIndexEntryReadTest, RecordCutShortReturnsFalse) {
  PakContents contents;
  contents.entries = {{"name.txt", {1, 2, 3}, false, 0}};
  const auto pak = BuildPak(contents);
  const auto read = pak_test::ReadBack(pak);
  const auto index = IndexOf(pak, read.header);
  for (std::size_t cut = 0; cut < index.size(); ++cut) {
    OCArchive stream;
    stream.OpenMemory(index.data(), static_cast<std::uint32_t>(cut));
    PakIndexEntry entry;
    entry.header = read.header;
    EXPECT_FALSE(entry.Read(stream)) << "cut " << cut;
    EXPECT_EQ(entry.packedSize, 0u) << "cut " << cut;
  }
}

TEST(PakIndexEntryReadTest, NameLongerThanTheRestOfTheIndexIsRefused) {
  const std::uint32_t lengths[] = {25, 0x10000000u, 0x7FFFFFC0u, 0xFFFFFFFFu};
  for (std::uint32_t length : lengths) {
    // A length, a few name bytes and nothing more.
    std::vector<std::uint8_t> index = {static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
                                       static_cast<std::uint8_t>(length >> 16),
                                       static_cast<std::uint8_t>(length >> 24)};
    index.resize(4 + 24, 'n');
    OCArchive stream;
    stream.OpenMemory(index.data(), static_cast<std::uint32_t>(index.size()));
    PakIndexEntry entry;
    entry.header.version = 4;
    EXPECT_FALSE(entry.Read(stream)) << length;
    EXPECT_EQ(entry.name.data, nullptr) << length;
  }
}

TEST(PakIndexEntryReadTest, VersionAbove4HasNoRecordLayout) {
  std::vector<std::uint8_t> index(24, 0);
  OCArchive stream;
  stream.OpenMemory(index.data(), static_cast<std::uint32_t>(index.size()));
  PakIndexEntry entry;
  entry.header.version = 5;
  EXPECT_FALSE(entry.Read(stream));
  EXPECT_EQ(stream.position, 0);
}

}  // namespace
