// The cipher interface of enciphered paks, and its three implementations.
#pragma once

#include <cstdint>

class EncryptionJob;

class IEncryption {
 public:
  // Thrown by Encrypt/Decrypt when the job is for another encryption version.
  class OCVersionDiffelentException {};

  virtual ~IEncryption();
  // dst[0..length) = src XOR key bytes chosen by the cipher's rule; phase is
  // the entry position of the run's first byte modulo 4. dst may equal src.
  virtual void Transform(std::uint8_t* dst, const std::uint8_t* src, std::int32_t length, std::uint32_t key,
                         std::uint32_t phase) const = 0;
  // h = h * 137 + (signed char)b over the bytes before the first NUL.
  virtual std::uint32_t MakeKey(const char* text) const = 0;
  // Each cipher is its own inverse: both decipher (or encipher) in place.
  virtual void Encrypt(EncryptionJob& job) const = 0;
  virtual void Decrypt(EncryptionJob& job) const = 0;
};

// Encryption version 0 (pak versions 0 to 2): changes nothing.
class NoEncryption : public IEncryption {
 public:
  void Transform(std::uint8_t* dst, const std::uint8_t* src, std::int32_t length, std::uint32_t key,
                 std::uint32_t phase) const override;
  std::uint32_t MakeKey(const char* text) const override;
  void Encrypt(EncryptionJob& job) const override;
  void Decrypt(EncryptionJob& job) const override;
};

// Encryption version 1 (pak version 3): the first 16 bytes of each entry.
class EncryptionV1 : public IEncryption {
 public:
  void Transform(std::uint8_t* dst, const std::uint8_t* src, std::int32_t length, std::uint32_t key,
                 std::uint32_t phase) const override;
  std::uint32_t MakeKey(const char* text) const override;
  void Encrypt(EncryptionJob& job) const override;
  void Decrypt(EncryptionJob& job) const override;
};

// Encryption version 2 (pak version 4): the first 1024 bytes of a stored
// entry, every byte of a packed entry's inflated data.
class EncryptionV2 : public IEncryption {
 public:
  void Transform(std::uint8_t* dst, const std::uint8_t* src, std::int32_t length, std::uint32_t key,
                 std::uint32_t phase) const override;
  std::uint32_t MakeKey(const char* text) const override;
  void Encrypt(EncryptionJob& job) const override;
  void Decrypt(EncryptionJob& job) const override;
};
