// Writing paks of versions 0 to 4 (the byte layouts are in pak_format.h): the
// whole pak in memory for small jobs, or entry by entry for a streaming tool.
//
// Streaming use, memory bounded by the largest entry:
//   PakHeader header = MakePakHeader(version, keyText, sizeKey);
//   for each entry (possibly on worker threads):
//     PreparedPakEntry e = PreparePakEntry(version, name, data, packed, spare, level);
//     e.record.dataOffset = bytes spooled so far; spool e.bytes; keep e.record
//   write BuildPakHead(header, records, level), then the spooled data area.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "archive/pak_format.h"

// Thrown when a pak cannot be written as asked; the message names the reason
// and, where there is one, the entry.
class PakWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// zlib's levels: -1 (its default) or 0 to 9.
inline constexpr int kPakDefaultCompression = -1;

// A header for version 0 to 4 with its key text (at most 256 bytes, no NUL;
// kept by versions 2 to 4) and sizeKey. The counts are filled by BuildPakHead.
PakHeader MakePakHeader(std::uint32_t version, std::string_view keyText, std::uint32_t sizeKey);

struct PreparedPakEntry {
  // name, size, spare, packed and packedSize set; dataOffset 0, for the caller
  // to place. Any field may be overwritten before BuildPakHead.
  PakIndexEntry record;
  // The entry's bytes in the data area: data enciphered as the readers
  // decipher it, or (packed) the zlib stream of the enciphered data.
  std::vector<std::uint8_t> bytes;
};

// Turns one entry's plain data into what the pak stores. name is code page 932
// bytes without NUL; data may be at most 2^31 - 1 bytes; version 0 cannot pack.
// Safe to call from several threads at once.
PreparedPakEntry PreparePakEntry(std::uint32_t version, std::string_view name, std::vector<std::uint8_t> data,
                                 bool packed, std::uint32_t spare, int level);
// The same, with the stored bytes written into bytes, whose capacity is reused,
// and the record returned. data is read, not taken: a packed entry enciphers it
// in place while deflating and restores it afterwards (unless this throws), so
// the caller may still store it when packing does not pay.
PakIndexEntry PreparePakEntry(std::uint32_t version, std::string_view name, std::vector<std::uint8_t>& data,
                              bool packed, std::uint32_t spare, int level, std::vector<std::uint8_t>& bytes);

// Everything in front of the data area: the header and the index (plain for
// version 0, else deflated at level). Sets header's entryCount, and for
// versions 1 to 4 its indexSize and packedIndexSize (0 for version 0). Each record's dataOffset counts from the start
// of the data area; version 0 records are written with the absolute offset. The records' own header fields are not
// used. Throws PakWriteError when an entry's data would start at or beyond 2^31 bytes, where the archive cannot seek.
std::vector<std::uint8_t> BuildPakHead(PakHeader& header, const std::vector<PakIndexEntry>& records, int level);

// The header bytes as stored (8 for version 0, else PakHeaderSize).
std::vector<std::uint8_t> EncodePakHeader(const PakHeader& header);

// A whole pak in memory.
struct PakEntryContents {
  std::string name;  // code page 932 bytes
  std::vector<std::uint8_t> data;
  bool packed = false;
  std::uint32_t spare = 0;
};

struct PakContents {
  std::uint32_t version = 4;
  std::string keyText;
  std::uint32_t sizeKey = 0;
  int compressionLevel = kPakDefaultCompression;  // entries and index
  std::vector<PakEntryContents> entries;              // data in this order
};

std::vector<std::uint8_t> BuildPak(const PakContents& contents);
