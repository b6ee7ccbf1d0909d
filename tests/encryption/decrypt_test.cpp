// Deciphering entry data through jobs and the registry, as the archive does.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "archive/oc_archive.h"
#include "archive/pak_format.h"
#include "encryption/cipher_registry.h"
#include "encryption/encryption_job.h"
#include "encryption/i_encryption.h"

namespace {

const char kName[] = "script\\データ.bin";

std::vector<std::uint8_t> Pattern(std::size_t n) {
  std::vector<std::uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
  return bytes;
}

std::uint8_t NameKeyByte(std::size_t j) {
  return static_cast<std::uint8_t>(EncryptionV2().MakeKey(kName) >> (8 * (j % 4)));
}

// bytes[i] ^= key byte (i mod 4) for i below limit: the lined-up key of a
// one-piece read from offset 0.
std::vector<std::uint8_t> XorAligned(std::vector<std::uint8_t> bytes, std::size_t limit) {
  for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) bytes[i] ^= NameKeyByte(i);
  return bytes;
}

// Deciphers bytes as a sequence of reads of the given sizes would.
std::vector<std::uint8_t> ReadInPieces(std::uint32_t pakVersion, std::vector<std::uint8_t> bytes,
                                       const std::vector<std::int32_t>& pieces) {
  std::int32_t position = 0;
  for (std::int32_t piece : pieces) {
    DecryptChunk(pakVersion, bytes.data() + position, position, piece, kName);
    position += piece;
  }
  EXPECT_EQ(static_cast<std::size_t>(position), bytes.size());
  return bytes;
}

TEST(DecryptChunkTest, UnencipheredPakVersionsLeaveTheBytesAlone) {
  const auto original = Pattern(40);
  for (std::uint32_t version = 0; version <= 2; ++version) {
    auto bytes = original;
    DecryptChunk(version, bytes.data(), 0, 40, kName);
    DecryptWhole(version, bytes.data(), 40, kName);
    EXPECT_EQ(bytes, original) << "version " << version;
  }
}

TEST(DecryptChunkTest, EmptyReadChangesNothing) {
  for (std::uint32_t version : {3u, 4u}) {
    auto bytes = Pattern(8);
    DecryptChunk(version, bytes.data(), 0, 0, kName);
    EXPECT_EQ(bytes, Pattern(8)) << "version " << version;
  }
}

TEST(DecryptChunkTest, Version4ReadsInPiecesEqualOneRead) {
  const auto stored = Pattern(1030);
  const auto expected = XorAligned(stored, 1024);
  const std::vector<std::vector<std::int32_t>> splits = {
      {1030}, {3, 1027}, {1, 2, 5, 1000, 22}, {1023, 7}, {1024, 6}, {1025, 5}, {511, 2, 517},
  };
  for (const auto& split : splits) {
    EXPECT_EQ(ReadInPieces(4, stored, split), expected) << "first piece " << split.front();
  }
}

TEST(DecryptChunkTest, Version4LeavesEverythingFromOffset1024) {
  auto bytes = Pattern(16);
  DecryptChunk(4, bytes.data(), 1024, 16, kName);
  EXPECT_EQ(bytes, Pattern(16));
  // A read across the boundary: only its first two bytes lie below 1024.
  bytes = Pattern(8);
  DecryptChunk(4, bytes.data(), 1022, 8, kName);
  auto expected = Pattern(8);
  expected[0] ^= NameKeyByte(2);
  expected[1] ^= NameKeyByte(3);
  EXPECT_EQ(bytes, expected);
}

TEST(DecryptChunkTest, Version3DependsOnHowTheReadsAreSplit) {
  const auto stored = Pattern(7);
  auto applied = [&](const std::vector<std::vector<int>>& cells) {
    auto out = stored;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      for (int j : cells[i]) out[i] ^= NameKeyByte(static_cast<std::size_t>(j));
    }
    return out;
  };
  const auto onePiece = applied({{0}, {1}, {2}, {3}, {3}, {0}, {1}});
  EXPECT_EQ(ReadInPieces(3, stored, {7}), onePiece);
  EXPECT_EQ(ReadInPieces(3, stored, {4, 3}), onePiece);
  EXPECT_EQ(ReadInPieces(3, stored, {1, 6}), applied({{1}, {}, {}, {}, {2}, {3}, {1}}));
}

TEST(DecryptChunkTest, Version3DeciphersTheFirst16BytesOnly) {
  EXPECT_EQ(ReadInPieces(3, Pattern(20), {20}), XorAligned(Pattern(20), 16));
  auto bytes = Pattern(4);
  DecryptChunk(3, bytes.data(), 16, 4, kName);
  EXPECT_EQ(bytes, Pattern(4));
}

TEST(DecryptWholeTest, Version4DeciphersEveryByteAndVersion3TheFirst16) {
  auto bytes = Pattern(5000);
  DecryptWhole(4, bytes.data(), 5000, kName);
  EXPECT_EQ(bytes, XorAligned(Pattern(5000), 5000));
  bytes = Pattern(5000);
  DecryptWhole(3, bytes.data(), 5000, kName);
  EXPECT_EQ(bytes, XorAligned(Pattern(5000), 16));
}

TEST(DecryptTest, ThrowsBeforeTouchingBytesWhenJobAndCipherDisagree) {
  auto bytes = Pattern(32);
  EncryptionJobV1 v1Job(bytes.data(), 0, 32, kName);
  EncryptionJobV2 v2Job(bytes.data(), 1, 0, 32, kName);
  EncryptionJobV0 v0Job(bytes.data(), 0, 32, kName);
  EXPECT_THROW(EncryptionV1().Decrypt(v2Job), IEncryption::OCVersionDiffelentException);
  EXPECT_THROW(EncryptionV1().Encrypt(v0Job), IEncryption::OCVersionDiffelentException);
  EXPECT_THROW(EncryptionV2().Decrypt(v1Job), IEncryption::OCVersionDiffelentException);
  EXPECT_THROW(EncryptionV2().Encrypt(v1Job), IEncryption::OCVersionDiffelentException);
  EXPECT_EQ(bytes, Pattern(32));
  // The do-nothing cipher accepts any job.
  EXPECT_NO_THROW(NoEncryption().Decrypt(v2Job));
  EXPECT_EQ(bytes, Pattern(32));
}

TEST(DecryptTest, EncryptIsDecrypt) {
  auto bytes = Pattern(64);
  EncryptionJobV2 job(bytes.data(), 1, 0, 64, kName);
  EncryptionV2().Encrypt(job);
  EXPECT_EQ(bytes, XorAligned(Pattern(64), 64));
  EncryptionV2().Decrypt(job);
  EXPECT_EQ(bytes, Pattern(64));
}

TEST(CreateEncryptionJobTest, PicksTheVariantOfThePakVersion) {
  std::uint8_t byte = 0;
  const int expected[] = {0, 0, 0, 1, 2};
  for (std::uint32_t version = 0; version <= 4; ++version) {
    EXPECT_EQ(CreateEncryptionJob(version, &byte, 1, 0, 1, kName)->Version(), expected[version]);
  }
  EXPECT_EQ(EncryptionVersionOf(2), 0);
  EXPECT_EQ(EncryptionVersionOf(3), 1);
  EXPECT_EQ(EncryptionVersionOf(4), 2);
  EXPECT_EQ(EncryptionVersionOf(5), -1);
}

TEST(CreateEncryptionJobTest, AboveVersion4ThrowsAndDecryptChunkLeavesTheBytes) {
  std::uint8_t byte = 0;
  EXPECT_THROW(CreateEncryptionJob(5, &byte, 0, 0, 1, kName), OCArchive::OCCantFoundEncryptionVertionException);
  auto bytes = Pattern(8);
  EXPECT_THROW(DecryptChunk(5, bytes.data(), 0, 8, kName), OCArchive::OCCantFoundEncryptionVertionException);
  EXPECT_EQ(bytes, Pattern(8));
}

TEST(CreateEncryptionJobTest, JobKeepsItsOwnCopyOfTheNameAndWholeOnlyInVersion2) {
  char name[] = "abc";
  std::uint8_t byte = 0;
  const auto job = CreateEncryptionJob(4, &byte, 1, 12, 34, name);
  std::strcpy(name, "xyz");
  const auto& v2 = dynamic_cast<const EncryptionJobV2&>(*job);
  EXPECT_STREQ(v2.Name(), "abc");
  EXPECT_EQ(v2.IsWhole(), 1);
  EXPECT_EQ(v2.Position(), 12);
  EXPECT_EQ(v2.Length(), 34);
  EXPECT_EQ(v2.Buffer(), &byte);

  const auto unnamed = CreateEncryptionJob(3, &byte, 1, 0, 1, nullptr);
  EXPECT_STREQ(dynamic_cast<const EncryptionJobV1&>(*unnamed).Name(), "");
  EXPECT_EQ(dynamic_cast<const EncryptionJobV2*>(unnamed.get()), nullptr);
}

TEST(CipherRegistryTest, HoldsThreeCiphersCreatedOnce) {
  const IEncryption* first[3];
  for (int i = 0; i < 3; ++i) first[i] = &CipherRegistry::Entry(i);
  for (int i = 0; i < 100; ++i) {
    const PakHeader header;
    EXPECT_EQ(header.version, 4u);
  }
  EXPECT_EQ(CipherRegistry::Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(&CipherRegistry::Entry(i), first[i]);
  EXPECT_NE(dynamic_cast<const NoEncryption*>(first[0]), nullptr);
  EXPECT_NE(dynamic_cast<const EncryptionV1*>(first[1]), nullptr);
  EXPECT_NE(dynamic_cast<const EncryptionV2*>(first[2]), nullptr);
  EXPECT_THROW(CipherRegistry::Entry(3), OCArchive::OCCantFoundEncryptionVertionException);
  EXPECT_THROW(CipherRegistry::Entry(-1), OCArchive::OCCantFoundEncryptionVertionException);
}

}  // namespace
