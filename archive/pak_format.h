// The in-memory pak header and index record, and where an entry's data begins.
// Byte layouts of the five pak versions are documented beside the readers.
#pragma once

#include <cstdint>

#include "text/text_string.h"

class OCArchive;

class PakHeader {
 public:
  PakHeader();  // also makes sure the CipherRegistry exists
  PakHeader(const PakHeader&) = default;
  PakHeader& operator=(const PakHeader&) = default;
  virtual ~PakHeader();

  // Reads a header from the current position of stream (a pak opened as a
  // plain disk file), deciphering the size fields of versions 3 and 4, and
  // leaves the stream right after it. Returns false when the stream ended
  // inside the header (the fields are then not to be trusted).
  bool Read(OCArchive& stream);

  std::uint32_t version = 4;
  std::uint32_t entryCount = 0;
  std::uint32_t indexSize = 0;
  std::uint32_t packedIndexSize = 0;
  std::uint32_t sizeKey = 0;
  std::uint8_t keyText[256] = {};
};

class PakIndexEntry {
 public:
  PakIndexEntry() = default;
  PakIndexEntry(const PakIndexEntry&) = default;
  PakIndexEntry& operator=(const PakIndexEntry&) = default;
  virtual ~PakIndexEntry();

  // Reads one record of versions 1-4 from stream (the inflated index in
  // memory mode); header.version must hold the pak's version. Returns false
  // when the index ended inside the record.
  bool Read(OCArchive& stream);

  TextString name;
  std::uint32_t dataOffset = 0;
  std::uint32_t size = 0;
  std::uint32_t spare = 0;
  std::uint32_t packed = 0;
  std::uint32_t packedSize = 0;
  PakHeader header;
};

// 276 for pak versions 2 to 4, 16 for the others.
std::uint32_t PakHeaderSize(std::uint32_t version);
// Absolute offset of an entry's data in its pak (32-bit arithmetic).
std::uint32_t PakDataStart(const PakHeader& header, const PakIndexEntry& entry);
