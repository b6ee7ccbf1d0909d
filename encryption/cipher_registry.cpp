// The process-wide cipher list and the two deciphering operations of the archive.
#include "encryption/cipher_registry.h"

#include <vector>

#include "archive/oc_archive.h"
#include "encryption/encryption_job.h"

namespace {

// Made once on first use and never destroyed: pak headers and archives may be
// used until the very end of the process, static destructors included.
const std::vector<const IEncryption*>& Registry() {
  static const auto* const registry =
      new std::vector<const IEncryption*>{new NoEncryption, new EncryptionV1, new EncryptionV2};
  return *registry;
}

void Decrypt(std::uint32_t pakVersion, std::uint8_t* buffer, int whole, std::int32_t position, std::int32_t length,
             const char* name) {
  const std::unique_ptr<EncryptionJob> job = CreateEncryptionJob(pakVersion, buffer, whole, position, length, name);
  CipherRegistry::Entry(EncryptionVersionOf(pakVersion)).Decrypt(*job);
}

}  // namespace

void CipherRegistry::EnsureCreated() { Registry(); }

const IEncryption& CipherRegistry::Entry(int encryptionVersion) {
  const auto& registry = Registry();
  if (encryptionVersion < 0 || static_cast<std::size_t>(encryptionVersion) >= registry.size()) {
    throw OCArchive::OCCantFoundEncryptionVertionException();
  }
  return *registry[static_cast<std::size_t>(encryptionVersion)];
}

int CipherRegistry::Count() { return static_cast<int>(Registry().size()); }

int EncryptionVersionOf(std::uint32_t pakVersion) {
  if (pakVersion <= 2) return 0;
  if (pakVersion <= 4) return static_cast<int>(pakVersion) - 2;
  return -1;
}

void DecryptChunk(std::uint32_t pakVersion, std::uint8_t* buffer, std::int32_t position, std::int32_t count,
                  const char* name) {
  Decrypt(pakVersion, buffer, 0, position, count, name);
}

void DecryptWhole(std::uint32_t pakVersion, std::uint8_t* buffer, std::int32_t length, const char* name) {
  Decrypt(pakVersion, buffer, 1, 0, length, name);
}
