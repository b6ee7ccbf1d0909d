// The cipher of unenciphered paks (versions 0 to 2): leaves every byte alone.
#include "encryption/i_encryption.h"

void NoEncryption::Transform(std::uint8_t*, const std::uint8_t*, std::int32_t, std::uint32_t, std::uint32_t) const {}

std::uint32_t NoEncryption::MakeKey(const char*) const { return 0; }

void NoEncryption::Encrypt(EncryptionJob&) const {}

void NoEncryption::Decrypt(EncryptionJob&) const {}
