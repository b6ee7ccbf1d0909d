// Reads one pak through the game's own archive and format readers, checking
// every number of it against the bytes really in the file before use.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/oc_archive.h"
#include "archive/pak_format.h"

namespace paktool {

// The pak cannot be read at all (missing, unreadable, no usable header).
class PakError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One entry's data cannot be delivered; the message says why.
class EntryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct PakRecord {
  PakIndexEntry entry;      // as the game's record reader filled it
  std::string rawName;      // every stored name byte (entry.name stops at a NUL)
  std::uint64_t dataStart;  // absolute offset of the data, computed without wrap
};

struct PakIndex {
  std::vector<PakRecord> records;  // index order; only records read whole
  std::vector<std::string> problems;
  std::string packedStream;  // the index's zlib stream as stored (versions 1-4)
  std::string inflated;      // the records' bytes as inflated
};

// Bytes of data a zlib stream of packedSize bytes can at most inflate to;
// deflate cannot do better than 1032:1.
std::uint64_t InflateLimit(std::uint64_t packedSize);

// A path already in code page 932, as the platform's own calls give them.
struct AnsiPath {
  std::string path;
};

class PakFile {
 public:
  // Opens the pak as a plain disk file through OCArchive and reads its
  // header. Throws PakError when that is not possible.
  explicit PakFile(const std::string& utf8Path);
  explicit PakFile(const AnsiPath& path);

  const std::string& path() const { return path_; }
  const PakHeader& header() const { return header_; }
  std::uint64_t fileSize() const { return fileSize_; }

  // Every record the index holds, read with the game's readers. Throws
  // PakError when no record can be reached (index outside the file, not
  // inflating); damage further in ends the list with a problem.
  PakIndex ReadIndex();

  // Why the record's data does not lie where the game can read it, or "".
  std::string CheckExtent(const PakRecord& record) const;

  // Hands the entry's bytes to sink in order, deciphered and inflated as the
  // game reads them; memory stays within one entry. storedStream, when given,
  // receives a packed entry's zlib stream exactly as stored. Throws
  // EntryError.
  void ReadEntry(const PakRecord& record, const std::function<void(const std::uint8_t*, std::size_t)>& sink,
                 std::string* storedStream = nullptr);

  // Packed entries are inflated by the game's own inflater alone, so a
  // verdict on a crafted stream is exactly the game's (slower).
  void InflateExactly() { exactInflate_ = true; }

 private:
  void ReadVersion0Records(PakIndex& index);
  void ReadPackedRecords(PakIndex& index);
  void InflateIndex(PakIndex& index);
  void ReadStored(const PakRecord& record, const std::function<void(const std::uint8_t*, std::size_t)>& sink);
  void ReadPackedEntry(const PakRecord& record, const std::function<void(const std::uint8_t*, std::size_t)>& sink,
                       std::string* storedStream);
  void Open(const std::string& ansiPath);
  void StandOn(const PakRecord& record, std::uint32_t packed, std::int64_t base);

  std::string path_;
  std::uint64_t fileSize_ = 0;
  OCArchive archive_;
  PakHeader header_;
  bool exactInflate_ = false;
};

}  // namespace paktool
