// Reading a pak built in memory back through the archive, as the pak search does.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "archive/oc_archive.h"
#include "archive/pak_format.h"
#include "encryption/cipher_registry.h"

namespace pak_test {

inline std::uint32_t U32At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes.at(offset)) | static_cast<std::uint32_t>(bytes.at(offset + 1)) << 8 |
         static_cast<std::uint32_t>(bytes.at(offset + 2)) << 16 |
         static_cast<std::uint32_t>(bytes.at(offset + 3)) << 24;
}

inline std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t n) {
  return {bytes.begin() + static_cast<std::ptrdiff_t>(offset), bytes.begin() + static_cast<std::ptrdiff_t>(offset + n)};
}

// zlib's own inflate, independent of the archive.
inline std::vector<std::uint8_t> Inflate(const std::vector<std::uint8_t>& packed, std::size_t size) {
  std::vector<std::uint8_t> out(size);
  uLongf length = static_cast<uLongf>(size);
  if (uncompress(out.data(), &length, packed.data(), static_cast<uLong>(packed.size())) != Z_OK) out.clear();
  out.resize(length);
  return out;
}

inline std::string NameOf(const PakIndexEntry& entry) { return entry.name.data != nullptr ? entry.name.data : ""; }

struct ReadPak {
  PakHeader header;
  std::vector<PakIndexEntry> records;
  std::vector<std::vector<std::uint8_t>> data;  // deciphered, as the archive's reader sees it
};

// Header, index and every entry's data, read with the readers under test.
inline ReadPak ReadBack(const std::vector<std::uint8_t>& pak) {
  ReadPak result;
  OCArchive file;
  file.OpenMemory(pak.data(), static_cast<std::uint32_t>(pak.size()));
  if (!result.header.Read(file)) throw std::runtime_error("header did not read");

  std::vector<std::uint8_t> index(result.header.indexSize);
  OCArchive indexStream;
  if (result.header.version == 0) {
    indexStream.OpenMemory(pak.data() + 8, static_cast<std::uint32_t>(pak.size() - 8));
  } else {
    file.ReadPacked(result.header.packedIndexSize, index.data(), result.header.indexSize);
    indexStream.OpenMemory(index.data(), result.header.indexSize);
  }
  for (std::uint32_t i = 0; i < result.header.entryCount; ++i) {
    PakIndexEntry record;
    record.header = result.header;
    if (result.header.version == 0) {
      // Version-0 records: name, absolute offset, a spare number, size.
      if (!indexStream.ReadLengthPrefixed(record.name)) throw std::runtime_error("v0 name");
      std::uint8_t numbers[12] = {};
      if (indexStream.Read(12, numbers) != 12) throw std::runtime_error("v0 record");
      const std::vector<std::uint8_t> n(numbers, numbers + 12);
      record.dataOffset = U32At(n, 0);
      record.spare = U32At(n, 4);
      record.size = U32At(n, 8);
    } else if (!record.Read(indexStream)) {
      throw std::runtime_error("record did not read");
    }
    const std::uint32_t start = PakDataStart(result.header, record);
    std::vector<std::uint8_t> bytes;
    if (record.packed != 0) {
      bytes = Inflate(Slice(pak, start, record.packedSize), record.size);
      DecryptWhole(result.header.version, bytes.data(), static_cast<std::int32_t>(bytes.size()), record.name.data);
    } else {
      bytes = Slice(pak, start, record.size);
      DecryptChunk(result.header.version, bytes.data(), 0, static_cast<std::int32_t>(bytes.size()), record.name.data);
    }
    result.records.push_back(record);
    result.data.push_back(bytes);
  }
  return result;
}

}  // namespace pak_test
