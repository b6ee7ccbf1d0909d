// The cipher interface and what both real ciphers share: the key rule and the
// deciphering of an entry's enciphered prefix.
#include "encryption/i_encryption.h"

#include <algorithm>

#include "encryption/cipher_detail.h"
#include "encryption/encryption_job.h"

IEncryption::~IEncryption() = default;

std::uint32_t cipher_detail::MakeKey(const char* text) {
  std::uint32_t h = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    // Bytes from 0x80 up (Shift-JIS lead and trail bytes) count as negative:
    // b - 256, modulo 2^32.
    const auto b = static_cast<std::uint32_t>(static_cast<unsigned char>(*p));
    h = h * 137u + (b >= 0x80 ? b - 256u : b);
  }
  return h;
}

void cipher_detail::DecryptPrefix(const IEncryption& cipher, const EncryptionJobV1& job, std::int32_t prefixEnd) {
  const std::int32_t position = job.Position();
  if (position >= prefixEnd) return;
  // Widened: a long run near the end of the int range must not overflow.
  const std::int64_t end = std::min<std::int64_t>(std::int64_t{position} + job.Length(), prefixEnd);
  const auto count = static_cast<std::int32_t>(end - position);
  if (count <= 0) return;
  cipher.Transform(job.Buffer(), job.Buffer(), count, cipher.MakeKey(job.Name()),
                   static_cast<std::uint32_t>(position) & 3);
}
