// The cipher of pak version 4: the key stays lined up with the entry position,
// over the first 1024 bytes of a stored entry or a packed entry's whole data.
#include <algorithm>

#include "encryption/cipher_detail.h"
#include "encryption/encryption_job.h"
#include "encryption/i_encryption.h"

namespace {

constexpr std::int32_t kStoredPrefix = 1024;

}  // namespace

// dst[i] = src[i] ^ key byte ((phase + i) mod 4). The bytes before the first
// key boundary go one at a time, the rest through the shared word loop.
void EncryptionV2::Transform(std::uint8_t* dst, const std::uint8_t* src, std::int32_t length, std::uint32_t key,
                             std::uint32_t phase) const {
  if (length <= 0) return;
  phase &= 3;
  const std::int32_t headEnd = std::min<std::int32_t>(phase == 0 ? 0 : 4 - static_cast<std::int32_t>(phase), length);
  std::int32_t i = 0;
  for (; i < headEnd; ++i) dst[i] = src[i] ^ cipher_detail::KeyByte(key, phase + static_cast<std::uint32_t>(i));
  cipher_detail::XorRunAnyPlace(dst + i, src + i, length - i, key);
}

std::uint32_t EncryptionV2::MakeKey(const char* text) const { return cipher_detail::MakeKey(text); }

void EncryptionV2::Encrypt(EncryptionJob& job) const { Decrypt(job); }

void EncryptionV2::Decrypt(EncryptionJob& job) const {
  const auto* v2 = dynamic_cast<const EncryptionJobV2*>(&job);
  if (job.Version() != 2 || v2 == nullptr) throw IEncryption::OCVersionDiffelentException();
  if (v2->IsWhole() != 0) {
    // A packed entry's inflated data: every byte, whatever the length.
    Transform(v2->Buffer(), v2->Buffer(), v2->Length(), MakeKey(v2->Name()),
              static_cast<std::uint32_t>(v2->Position()) & 3);
    return;
  }
  cipher_detail::DecryptPrefix(*this, *v2, kStoredPrefix);
}
