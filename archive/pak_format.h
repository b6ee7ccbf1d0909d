// The in-memory pak header and index record, their readers, and where an
// entry's data begins. The byte layouts below are shared by the readers and by
// the pak writer.
//
// Every number is a u32, little-endian. X^K: stored as X XOR the 32-bit key K.
//
//   version 0                 version 1                 version 2
//   0   version = 0           0   version = 1           0   version = 2
//   4   entryCount            4   entryCount            4   entryCount
//   8   index (plain records) 8   indexSize             8   indexSize
//   ... data at the absolute  12  packedIndexSize       12  packedIndexSize
//       offsets of the index  16  packed index          16  sizeKey (unused)
//                             16+packed: data area      20  keyText[256] (unused)
//                                                       276 packed index
//                                                       276+packed: data area
//   versions 3 and 4 (3: EncryptionV1, 4: EncryptionV2)
//   0   version
//   4   keyText[256]        the key text ends at its first NUL, or after 256 bytes
//   260 sizeKey             plain
//   264 indexSize ^ K1      K1 = MakeKey(keyText) by the pak's cipher
//   268 entryCount ^ K1
//   272 packedIndexSize ^ sizeKey
//   276 packed index, then the data area
//
// The packed index is one zlib stream inflating to indexSize bytes of records.
//
//   record, version 0          record, versions 1-4 (K = MakeKey(name) by the
//   nameLength                 pak's cipher; 0 for versions 1 and 2)
//   name (no terminator)       nameLength, name            plain
//   dataOffset (absolute)      dataOffset ^ K              from the data area
//   spare (unused)             size ^ K                    as a reader sees it
//   size                       spare ^ K                   unused
//                              packed ^ K                  non-zero: zlib stream
//                              packedSize ^ K              bytes of that stream
//
// Entry data: stored entries are enciphered over their first 16 bytes
// (version 3) or 1024 bytes (version 4), as one run from offset 0; a packed
// entry's zlib stream is plain and its inflated bytes are enciphered (version
// 3: the first 16, version 4: all of them).
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
  // inside the header (the fields are then not to be trusted). Of a version
  // above 4 only the version is read.
  bool Read(OCArchive& stream);

  // K1: MakeKey of keyText (up to its first NUL, at most 256 bytes) by the
  // cipher of version; 0 for versions 0 to 2. Throws
  // OCArchive::OCCantFoundEncryptionVertionException above version 4.
  std::uint32_t KeyTextKey() const;

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
  // when the index ended inside the record, when the name is longer than what
  // is left of the index, or for a version above 4.
  bool Read(OCArchive& stream);

  // K: MakeKey of name by the cipher of header.version; 0 for versions 0 to
  // 2. Throws OCArchive::OCCantFoundEncryptionVertionException above version 4.
  std::uint32_t NameKey() const;

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
// Offset of the index in a pak of version 0 to 4: 8 for version 0 (its plain
// records), else the header size (the packed index).
std::uint32_t PakIndexStart(std::uint32_t version);
// Absolute offset of an entry's data in its pak (32-bit arithmetic).
std::uint32_t PakDataStart(const PakHeader& header, const PakIndexEntry& entry);
