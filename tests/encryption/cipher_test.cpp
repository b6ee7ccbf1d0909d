// The two XOR ciphers' key rule and Transform arithmetic.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "encryption/cipher_registry.h"
#include "encryption/i_encryption.h"

namespace {

// Four distinct key bytes, so each applied key byte (and each XOR of two) is
// recognisable in the output.
constexpr std::uint32_t kKey = 0x8C4B2A11u;

std::uint8_t KeyByte(int j) { return static_cast<std::uint8_t>(kKey >> (8 * j)); }

// The byte pattern a run of zeros turns into: each cell lists the key bytes
// applied to that byte (empty: unchanged).
std::vector<std::uint8_t> Expected(const std::vector<std::vector<int>>& applied) {
  std::vector<std::uint8_t> out;
  for (const auto& cell : applied) {
    std::uint8_t b = 0;
    for (int j : cell) b ^= KeyByte(j);
    out.push_back(b);
  }
  return out;
}

// Transforms n zero bytes followed by guard bytes, checking the guards stay.
std::vector<std::uint8_t> TransformZeros(const IEncryption& cipher, std::int32_t n, std::uint32_t phase) {
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(n) + 8, 0);
  for (std::size_t i = static_cast<std::size_t>(n); i < buffer.size(); ++i) buffer[i] = 0xEE;
  cipher.Transform(buffer.data(), buffer.data(), n, kKey, phase);
  for (std::size_t i = static_cast<std::size_t>(n); i < buffer.size(); ++i) {
    EXPECT_EQ(buffer[i], 0xEE) << "byte " << i << " past the run changed";
  }
  buffer.resize(static_cast<std::size_t>(n));
  return buffer;
}

TEST(MakeKeyTest, FollowsTheMultiplyAndAddRuleWithSignedBytes) {
  const EncryptionV1 v1;
  const EncryptionV2 v2;
  const struct {
    std::string text;
    std::uint32_t key;
  } cases[] = {
      {"abc", 1834118u},
      {"", 0u},
      {"\x82", 0xFFFFFF82u},
      {std::string("ab\0cd", 5), (97u * 137u) + 98u},  // stops at the first zero byte
      {"\x82\xA0", 0xFFFFFF82u * 137u + 0xFFFFFFA0u},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(v1.MakeKey(c.text.c_str()), c.key) << c.text;
    EXPECT_EQ(v2.MakeKey(c.text.c_str()), c.key) << c.text;
  }
  EXPECT_EQ(NoEncryption().MakeKey("abc"), 0u);
}

TEST(MakeKeyTest, DiffersByLetterCase) {
  const EncryptionV2 v2;
  EXPECT_NE(v2.MakeKey("Data.bin"), v2.MakeKey("data.bin"));
}

TEST(EncryptionV1TransformTest, AppliesTheKeyBytesOfEachRowOfTheEffectsTable) {
  using Cells = std::vector<std::vector<int>>;
  const struct {
    std::uint32_t phase;
    std::int32_t n;
    Cells applied;
  } rows[] = {
      {0, 1, {{1}}},
      {0, 2, {{0}, {1}}},
      {0, 3, {{3}, {0}, {1}}},
      {0, 4, {{0}, {1}, {2}, {3}}},
      {0, 5, {{0}, {1}, {2}, {3}, {1}}},
      {0, 6, {{0}, {1}, {2}, {3}, {0}, {1}}},
      {0, 7, {{0}, {1}, {2}, {3}, {3}, {0}, {1}}},
      {0, 15, {{0}, {1}, {2}, {3}, {0}, {1}, {2}, {3}, {0}, {1}, {2}, {3}, {3}, {0}, {1}}},
      {0, 16, {{0}, {1}, {2}, {3}, {0}, {1}, {2}, {3}, {0}, {1}, {2}, {3}, {0}, {1}, {2}, {3}}},
      {1, 2, {{}, {0, 1}}},
      {1, 3, {{}, {}, {}}},
      {1, 15, {{}, {}, {}, {2}, {3}, {0}, {1}, {2}, {3}, {0}, {1}, {2}, {3}, {0}, {1}}},
      {2, 14, {{}, {}, {0}, {1}, {2}, {3}, {0}, {1}, {2}, {3}, {0}, {1}, {2}, {3}}},
      {3, 13, {{}, {}, {}, {0}, {1}, {2}, {3}, {0}, {1}, {2}, {3}, {0}, {1}}},
  };
  const EncryptionV1 v1;
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "p=" << row.phase << " n=" << row.n);
    EXPECT_EQ(TransformZeros(v1, row.n, row.phase), Expected(row.applied));
  }
}

TEST(EncryptionV2TransformTest, PhaseExamples) {
  const EncryptionV2 v2;
  EXPECT_EQ(TransformZeros(v2, 3, 2), Expected({{2}, {3}, {0}}));
  EXPECT_EQ(TransformZeros(v2, 5, 0), Expected({{0}, {1}, {2}, {3}, {0}}));
}

// The net rule, one byte at a time: the key stays lined up with the entry.
std::vector<std::uint8_t> ReferenceV2(const std::vector<std::uint8_t>& src, std::uint32_t phase) {
  std::vector<std::uint8_t> out(src);
  for (std::size_t i = 0; i < out.size(); ++i) out[i] ^= KeyByte(static_cast<int>((phase + i) % 4));
  return out;
}

TEST(EncryptionV2TransformTest, MatchesTheBytewiseRuleForEveryLengthAndPhase) {
  const EncryptionV2 v2;
  std::vector<std::uint8_t> source(70);
  for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint8_t>(i * 37 + 5);
  for (std::uint32_t phase = 0; phase < 4; ++phase) {
    for (std::size_t n = 0; n <= 64; ++n) {
      // An odd start makes every word access unaligned.
      for (std::size_t start : {std::size_t{0}, std::size_t{1}, std::size_t{3}}) {
        SCOPED_TRACE(testing::Message() << "phase=" << phase << " n=" << n << " start=" << start);
        const std::vector<std::uint8_t> run(source.begin() + static_cast<std::ptrdiff_t>(start),
                                            source.begin() + static_cast<std::ptrdiff_t>(start + n));
        // Separate destination, guarded on both sides.
        std::vector<std::uint8_t> dst(n + 2, 0x5A);
        v2.Transform(dst.data() + 1, run.data(), static_cast<std::int32_t>(n), kKey, phase);
        EXPECT_EQ(dst.front(), 0x5A);
        EXPECT_EQ(dst.back(), 0x5A);
        EXPECT_EQ(std::vector<std::uint8_t>(dst.begin() + 1, dst.end() - 1), ReferenceV2(run, phase));
        // In place.
        std::vector<std::uint8_t> inPlace(source);
        v2.Transform(inPlace.data() + start, inPlace.data() + start, static_cast<std::int32_t>(n), kKey, phase);
        EXPECT_EQ(std::vector<std::uint8_t>(inPlace.begin() + static_cast<std::ptrdiff_t>(start),
                                            inPlace.begin() + static_cast<std::ptrdiff_t>(start + n)),
                  ReferenceV2(run, phase));
        EXPECT_TRUE(std::equal(inPlace.begin() + static_cast<std::ptrdiff_t>(start + n), inPlace.end(),
                               source.begin() + static_cast<std::ptrdiff_t>(start + n)));
      }
    }
  }
}

// The three steps of the version 3 rule, one byte at a time.
std::vector<std::uint8_t> ReferenceV1(const std::vector<std::uint8_t>& src, std::uint32_t phase) {
  std::vector<std::uint8_t> out(src);
  const std::size_t n = out.size();
  const std::size_t p = phase;
  if (p == 1) {
    if (n > 1) out[1] ^= KeyByte(0);
    if (n > 2) out[2] ^= KeyByte(1);
  }
  const std::size_t wordsEnd = n - n % 4;
  std::size_t i = p;
  for (; i < wordsEnd; i += 4) {
    for (std::size_t j = 0; j < 4 && i + j < n; ++j) out[i + j] ^= KeyByte(static_cast<int>(j));
  }
  for (; i < n; ++i) out[i] ^= KeyByte(static_cast<int>((i + 4 - n % 4 + 2) % 4));
  return out;
}

TEST(EncryptionV1TransformTest, MatchesTheBytewiseRuleForEveryLengthAndPhase) {
  const EncryptionV1 v1;
  std::vector<std::uint8_t> source(80);
  for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint8_t>(i * 53 + 11);
  for (std::uint32_t phase = 0; phase < 4; ++phase) {
    for (std::size_t n = 0; n <= 75; ++n) {
      for (std::size_t start : {std::size_t{0}, std::size_t{1}, std::size_t{3}}) {
        SCOPED_TRACE(testing::Message() << "phase=" << phase << " n=" << n << " start=" << start);
        const std::vector<std::uint8_t> run(source.begin() + static_cast<std::ptrdiff_t>(start),
                                            source.begin() + static_cast<std::ptrdiff_t>(start + n));
        std::vector<std::uint8_t> inPlace(source);
        v1.Transform(inPlace.data() + start, inPlace.data() + start, static_cast<std::int32_t>(n), kKey, phase);
        EXPECT_EQ(std::vector<std::uint8_t>(inPlace.begin() + static_cast<std::ptrdiff_t>(start),
                                            inPlace.begin() + static_cast<std::ptrdiff_t>(start + n)),
                  ReferenceV1(run, phase));
        EXPECT_TRUE(std::equal(inPlace.begin() + static_cast<std::ptrdiff_t>(start + n), inPlace.end(),
                               source.begin() + static_cast<std::ptrdiff_t>(start + n)));
      }
    }
  }
}

TEST(EncryptionV1TransformTest, SeparateDestinationGetsTheSameBytesAsInPlace) {
  const EncryptionV1 v1;
  std::vector<std::uint8_t> source(40);
  for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint8_t>(200 - i * 3);
  for (std::uint32_t phase = 0; phase < 4; ++phase) {
    for (std::int32_t n = 0; n <= 32; ++n) {
      std::vector<std::uint8_t> inPlace(source);
      v1.Transform(inPlace.data(), inPlace.data(), n, kKey, phase);
      std::vector<std::uint8_t> dst(source.size(), 0x77);
      v1.Transform(dst.data(), source.data(), n, kKey, phase);
      for (std::size_t i = 0; i < source.size(); ++i) {
        const std::uint8_t want = i < static_cast<std::size_t>(n) ? inPlace[i] : 0x77;
        ASSERT_EQ(dst[i], want) << "phase=" << phase << " n=" << n << " byte " << i;
      }
    }
  }
}

TEST(CipherTransformTest, EveryCipherUndoesItselfAndTouchesNothingForNonPositiveLengths) {
  const std::vector<std::uint8_t> source{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  for (int version = 1; version <= 2; ++version) {
    const IEncryption& cipher = CipherRegistry::Entry(version);
    for (std::uint32_t phase = 0; phase < 4; ++phase) {
      std::vector<std::uint8_t> bytes(source);
      const auto n = static_cast<std::int32_t>(bytes.size());
      cipher.Transform(bytes.data(), bytes.data(), n, kKey, phase);
      EXPECT_NE(bytes, source);
      cipher.Transform(bytes.data(), bytes.data(), n, kKey, phase);
      EXPECT_EQ(bytes, source) << "version " << version << " phase " << phase;
      cipher.Transform(bytes.data(), bytes.data(), 0, kKey, phase);
      cipher.Transform(bytes.data(), bytes.data(), -4, kKey, phase);
      EXPECT_EQ(bytes, source);
    }
  }
}

TEST(NoEncryptionTest, LeavesTheDestinationAsItWas) {
  const std::uint8_t source[4] = {1, 2, 3, 4};
  std::uint8_t dst[4] = {9, 9, 9, 9};
  NoEncryption().Transform(dst, source, 4, kKey, 0);
  EXPECT_EQ(std::vector<std::uint8_t>(dst, dst + 4), std::vector<std::uint8_t>(4, 9));
}

}  // namespace
