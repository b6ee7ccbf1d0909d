// Reading pak headers and index records, and the arithmetic of where data lies.
#include "archive/pak_format.h"

#include <cstring>

#include "archive/oc_archive.h"
#include "encryption/cipher_registry.h"

namespace {

constexpr std::uint32_t kVersion0HeaderSize = 8;

std::uint32_t LittleEndian(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

bool ReadExactly(OCArchive& stream, void* buffer, std::uint32_t count) { return stream.Read(count, buffer) == count; }

// A plain u32; value stays 0 unless all four bytes arrived.
bool ReadNumber(OCArchive& stream, std::uint32_t& value) {
  std::uint8_t bytes[4] = {};
  if (!ReadExactly(stream, bytes, 4)) return false;
  value = LittleEndian(bytes);
  return true;
}

// A u32 stored XOR key, deciphered with cipher's Transform (length 4, phase
// 0), which for both real ciphers is a plain XOR with the key.
bool ReadEnciphered(OCArchive& stream, const IEncryption& cipher, std::uint32_t key, std::uint32_t& value) {
  std::uint8_t stored[4] = {};
  if (!ReadExactly(stream, stored, 4)) return false;
  std::uint8_t plain[4] = {};
  cipher.Transform(plain, stored, 4, key, 0);
  value = LittleEndian(plain);
  return true;
}

const IEncryption& CipherOf(std::uint32_t pakVersion) { return CipherRegistry::Entry(EncryptionVersionOf(pakVersion)); }

}  // namespace

PakHeader::PakHeader() { CipherRegistry::EnsureCreated(); }

PakHeader::~PakHeader() = default;

bool PakHeader::Read(OCArchive& stream) {
  if (!ReadNumber(stream, version)) return false;
  switch (version) {
    case 0:
      return ReadNumber(stream, entryCount);
    case 1:
      return ReadNumber(stream, entryCount) && ReadNumber(stream, indexSize) && ReadNumber(stream, packedIndexSize);
    case 2:
      return ReadNumber(stream, entryCount) && ReadNumber(stream, indexSize) && ReadNumber(stream, packedIndexSize) &&
             ReadNumber(stream, sizeKey) && ReadExactly(stream, keyText, sizeof keyText);
    case 3:
    case 4: {
      if (!ReadExactly(stream, keyText, sizeof keyText) || !ReadNumber(stream, sizeKey)) return false;
      const IEncryption& cipher = CipherOf(version);
      const std::uint32_t k1 = KeyTextKey();
      return ReadEnciphered(stream, cipher, k1, indexSize) && ReadEnciphered(stream, cipher, k1, entryCount) &&
             ReadEnciphered(stream, cipher, sizeKey, packedIndexSize);
    }
    default:
      return true;  // no layout: the caller passes the pak over by its version
  }
}

std::uint32_t PakHeader::KeyTextKey() const {
  // keyText need not hold a NUL; all 256 bytes are then the key text.
  char text[sizeof keyText + 1] = {};
  std::memcpy(text, keyText, sizeof keyText);
  return CipherOf(version).MakeKey(text);
}

PakIndexEntry::~PakIndexEntry() = default;

bool PakIndexEntry::Read(OCArchive& stream) {
  if (header.version > 4) return false;
  // The archive refuses a name longer than what is left of the index before
  // it allocates anything for it.
  if (!stream.ReadLengthPrefixed(name)) return false;
  // Every version deciphers the five numbers with EncryptionV2's Transform,
  // K being 0 for versions 0 to 2; that cipher keeps the key lined up with
  // the run, so one call over all 20 bytes equals one per number.
  std::uint8_t stored[20] = {};
  if (!ReadExactly(stream, stored, sizeof stored)) return false;
  std::uint8_t plain[20] = {};
  CipherRegistry::Entry(2).Transform(plain, stored, sizeof stored, NameKey(), 0);
  dataOffset = LittleEndian(plain);
  size = LittleEndian(plain + 4);
  spare = LittleEndian(plain + 8);
  packed = LittleEndian(plain + 12);
  packedSize = LittleEndian(plain + 16);
  return true;
}

std::uint32_t PakIndexEntry::NameKey() const {
  return CipherOf(header.version).MakeKey(name.data != nullptr ? name.data : "");
}

std::uint32_t PakHeaderSize(std::uint32_t version) { return version >= 2 && version <= 4 ? 276u : 16u; }

std::uint32_t PakIndexStart(std::uint32_t version) {
  return version == 0 ? kVersion0HeaderSize : PakHeaderSize(version);
}

std::uint32_t PakDataStart(const PakHeader& header, const PakIndexEntry& entry) {
  if (header.version == 0) return entry.dataOffset;
  return PakHeaderSize(header.version) + header.packedIndexSize + entry.dataOffset;
}
