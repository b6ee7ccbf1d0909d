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

inline std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

inline void Store64(std::uint8_t* p, std::uint64_t word) { std::memcpy(p, &word, sizeof word); }

inline std::uint8_t KeyByte(std::uint32_t key, std::uint32_t j) {
  return static_cast<std::uint8_t>(key >> (8 * (j & 3)));
}

// dst[i] = src[i] ^ key byte (i mod 4) for i < n: eight bytes at a time with
// the key doubled into a 64-bit word (a loop simple enough for the compiler to
// widen further), then a word, then single bytes. dst == src is safe.
inline void XorRun(std::uint8_t* dst, const std::uint8_t* src, std::int32_t n, std::uint32_t key) {
  const std::uint64_t k = key * 0x100000001ull;
  std::int32_t i = 0;
  for (; n - i >= 8; i += 8) Store64(dst + i, Load64(src + i) ^ k);
  if (n - i >= 4) {
    Store(dst + i, Load(src + i) ^ key);
    i += 4;
  }
  for (std::uint32_t j = 0; i < n; ++i, ++j) dst[i] = src[i] ^ KeyByte(key, j);
}

// XorRun with one pointer when the run is deciphered in place, so the
// compiler need not assume the two may overlap in part.
inline void XorRunAnyPlace(std::uint8_t* dst, const std::uint8_t* src, std::int32_t n, std::uint32_t key) {
  if (dst == src)
    XorRun(dst, dst, n, key);
  else
    XorRun(dst, src, n, key);
}

// The low 4 - phase bytes of a word.
inline std::uint32_t HeadMask(std::uint32_t phase) { return 0xFFFFFFFFu >> (8 * phase); }

// h = h * 137 + (signed)b over the bytes before the first NUL, modulo 2^32.
std::uint32_t MakeKey(const char* text);

// Deciphers the part of the job's run that lies below entry offset prefixEnd
// (16 or 1024); a run starting at or past it returns before making the key.
void DecryptPrefix(const IEncryption& cipher, const EncryptionJobV1& job, std::int32_t prefixEnd);

}  // namespace cipher_detail
