// The process-wide list of ciphers, indexed by encryption version, and the two
// operations the archive deciphers entry data with.
#pragma once

#include <cstdint>

#include "encryption/i_encryption.h"

class CipherRegistry {
 public:
  // Creates the list (NoEncryption, EncryptionV1, EncryptionV2) on first use;
  // it lives until the process ends.
  static void EnsureCreated();
  // The cipher of an encryption version (0, 1 or 2). Throws
  // OCArchive::OCCantFoundEncryptionVertionException for any other number.
  static const IEncryption& Entry(int encryptionVersion);
  static int Count();
};

// Pak version 0-2 -> 0, 3 -> 1, 4 -> 2; -1 above 4.
int EncryptionVersionOf(std::uint32_t pakVersion);

// Deciphers in place count bytes just read from a stored entry, position being
// the entry-relative offset of buffer[0]. Throws
// OCArchive::OCCantFoundEncryptionVertionException for a pak version above 4.
void DecryptChunk(std::uint32_t pakVersion, std::uint8_t* buffer, std::int32_t position, std::int32_t count,
                  const char* name);
// Deciphers in place the whole inflated data of a packed entry.
void DecryptWhole(std::uint32_t pakVersion, std::uint8_t* buffer, std::int32_t length, const char* name);
