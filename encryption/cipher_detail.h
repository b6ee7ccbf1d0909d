// Helpers shared by the two XOR ciphers: unaligned little-endian words, key
// bytes, head masks, the key rule and the deciphering of an entry's prefix.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

class EncryptionJobV1;
class IEncryption;

namespace cipher_detail {

// The ciphers XOR whole words read as little-endian numbers; on a little-endian
// machine that is a plain unaligned copy.
static_assert(std::endian::native == std::endian::little, "the word routines assume a little-endian machine");

inline std::uint32_t Load(const std::uint8_t* p) {
  std::uint32_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

inline void Store(std::uint8_t* p, std::uint32_t word) { std::memcpy(p, &word, sizeof word); }

inline std::uint8_t KeyByte(std::uint32_t key, std::uint32_t j) {
  return static_cast<std::uint8_t>(key >> (8 * (j & 3)));
}

// The low 4 - phase bytes of a word.
inline std::uint32_t HeadMask(std::uint32_t phase) { return 0xFFFFFFFFu >> (8 * phase); }

// h = h * 137 + (signed)b over the bytes before the first NUL, modulo 2^32.
std::uint32_t MakeKey(const char* text);

// Deciphers the part of the job's run that lies below entry offset prefixEnd
// (16 or 1024); a run starting at or past it returns before making the key.
void DecryptPrefix(const IEncryption& cipher, const EncryptionJobV1& job, std::int32_t prefixEnd);

}  // namespace cipher_detail
