// The cipher of pak version 3: the first 16 bytes of each entry, with a key
// that lines up with the entry position only for runs starting at a multiple of 4.
#include <cstring>

#include "encryption/cipher_detail.h"
#include "encryption/encryption_job.h"
#include "encryption/i_encryption.h"

namespace {

constexpr std::int32_t kPrefix = 16;

}  // namespace

// Each byte is XORed with the key bytes the three steps apply to it (n = length,
// p = phase); paks of version 3 were written with exactly this rule, including
// its misaligned tail, so it is kept as it is:
//   head   p != 0: the first word ^= (key << 8p) & HeadMask(p); only p = 1 has
//          an effect (key byte 0 on byte 1, key byte 1 on byte 2);
//   words  at p, p+4, ... below n - n%4: ^= key (bytes past n untouched);
//   tail   from the end of the words to n-1: byte i ^= key byte (i - n + 2) mod 4.
void EncryptionV1::Transform(std::uint8_t* dst, const std::uint8_t* src, std::int32_t length, std::uint32_t key,
                             std::uint32_t phase) const {
  if (length <= 0) return;
  phase &= 3;
  if (dst != src) std::memmove(dst, src, static_cast<std::size_t>(length));

  const std::int32_t p = static_cast<std::int32_t>(phase);
  if (p != 0) {
    const std::uint32_t head = (key << (8 * phase)) & cipher_detail::HeadMask(phase);
    for (std::int32_t i = 0; i < 4 && i < length; ++i) dst[i] ^= static_cast<std::uint8_t>(head >> (8 * i));
  }

  // The whole words p, p+4, ... lie end to end, so they go as one aligned run;
  // at most one word below wordsEnd then runs past n and is cut short.
  const std::int32_t wordsEnd = length - length % 4;
  if (length <= p) return;
  const std::int32_t wholeEnd = p + (length - p) / 4 * 4;
  cipher_detail::XorRun(dst + p, dst + p, wholeEnd - p, key);

  std::int32_t i = wholeEnd;
  if (i < wordsEnd) {
    for (std::uint32_t j = 0; i < length; ++i, ++j) dst[i] ^= cipher_detail::KeyByte(key, j);
  }
  for (; i < length; ++i) dst[i] ^= cipher_detail::KeyByte(key, static_cast<std::uint32_t>(i - length + 2));
}

std::uint32_t EncryptionV1::MakeKey(const char* text) const { return cipher_detail::MakeKey(text); }

void EncryptionV1::Encrypt(EncryptionJob& job) const { Decrypt(job); }

void EncryptionV1::Decrypt(EncryptionJob& job) const {
  const auto* v1 = dynamic_cast<const EncryptionJobV1*>(&job);
  if (job.Version() != 1 || v1 == nullptr) throw IEncryption::OCVersionDiffelentException();
  cipher_detail::DecryptPrefix(*this, *v1, kPrefix);
}
