// Reading a pak with the game's archive: header, index records, entry data.
#include "tools/pak_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "encryption/cipher_registry.h"
#include "errors/oc_exception.h"
#include "platform/platform.h"
#include "tools/bulk_inflate.h"
#include "tools/pak_names.h"

namespace paktool {
namespace {

constexpr std::uint32_t kChunk = 64 * 1024;
// The archive seeks with a signed 32-bit offset.
constexpr std::uint64_t kSeekLimit = std::numeric_limits<std::int32_t>::max();

std::uint32_t LittleEndian(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::string RecordLabel(std::uint32_t i, std::uint32_t count) {
  return "record " + std::to_string(i + 1) + " of " + std::to_string(count);
}

// The stored name bytes: ReadLengthPrefixed places all of them in the buffer,
// while the text's length stops at a NUL among them.
std::string StoredName(const TextString& name, std::int64_t count) {
  if (name.data == nullptr || count <= 0) return {};
  return std::string(name.data, static_cast<std::size_t>(count));
}

}  // namespace

std::uint64_t InflateLimit(std::uint64_t packedSize) { return packedSize * 1032 + 64; }

PakFile::PakFile(const std::string& utf8Path) : path_(utf8Path) {
  bool ok = false;
  const std::string ansiPath = platform::Utf8ToAnsi(utf8Path, &ok);
  if (!ok) throw PakError("the path cannot be written in code page 932, which the game's archive needs");
  Open(ansiPath);
}

PakFile::PakFile(const AnsiPath& path) : path_(NameToUtf8(path.path)) { Open(path.path); }

void PakFile::Open(const std::string& ansiPath) {
  const platform::DWORD attributes = platform::GetFileAttributesA(ansiPath.c_str());
  if (attributes == platform::INVALID_FILE_ATTRIBUTES) throw PakError("no such file");
  if ((attributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0) throw PakError("a directory, not a pak");
  if (archive_.Open(ansiPath.c_str(), OCArchive::ModeRead | OCArchive::FlagDiskOnly) == 0) {
    throw PakError("cannot open the file");
  }
  fileSize_ = archive_.BytesLeft();
  if (!header_.Read(archive_)) throw PakError("the file ends inside the pak header");
  if (header_.version > 4) {
    throw PakError("unknown pak version " + std::to_string(header_.version) + " (versions 0 to 4 exist)");
  }
}

PakIndex PakFile::ReadIndex() {
  // Back to the plain file, in case an entry was read before.
  archive_.inPak = 0;
  archive_.entryPacked = 0;
  archive_.baseOffset = 0;
  archive_.Seek(static_cast<std::int32_t>(PakIndexStart(header_.version)));
  PakIndex index;
  if (header_.version == 0) {
    ReadVersion0Records(index);
  } else {
    InflateIndex(index);
    ReadPackedRecords(index);
  }
  return index;
}

void PakFile::ReadVersion0Records(PakIndex& index) {
  for (std::uint32_t i = 0; i < header_.entryCount; ++i) {
    PakRecord record;
    record.entry.header = header_;
    const std::int64_t start = archive_.position;
    std::uint8_t numbers[12];
    if (!archive_.ReadLengthPrefixed(record.entry.name) || archive_.Read(sizeof numbers, numbers) != sizeof numbers) {
      index.problems.push_back(RecordLabel(i, header_.entryCount) + " runs past the end of the file");
      return;
    }
    record.rawName = StoredName(record.entry.name, archive_.position - start - 4 - sizeof numbers);
    // dataOffset, an unused number (kept as spare), size.
    record.entry.dataOffset = LittleEndian(numbers);
    record.entry.spare = LittleEndian(numbers + 4);
    record.entry.size = LittleEndian(numbers + 8);
    record.dataStart = record.entry.dataOffset;
    index.records.push_back(std::move(record));
  }
}

void PakFile::InflateIndex(PakIndex& index) {
  const std::uint64_t start = PakIndexStart(header_.version);
  const std::uint32_t packedSize = header_.packedIndexSize;
  if (start + packedSize > fileSize_) {
    throw PakError("the packed index (" + std::to_string(packedSize) + " bytes at offset " + std::to_string(start) +
                   ") runs past the end of the file (" + std::to_string(fileSize_) + " bytes)");
  }
  if (header_.indexSize == 0) throw PakError("the index is empty (indexSize 0); the game cannot read such a pak");
  if (header_.indexSize > InflateLimit(packedSize)) {
    throw PakError("the header's index size " + std::to_string(header_.indexSize) +
                   " cannot come from a packed index of " + std::to_string(packedSize) + " bytes");
  }
  index.packedStream.resize(packedSize);
  if (archive_.Read(packedSize, index.packedStream.data()) != packedSize) throw PakError("cannot read the index");
  archive_.Seek(static_cast<std::int32_t>(start));
  index.inflated.resize(header_.indexSize);
  std::uint32_t inflated = 0;
  try {
    inflated = archive_.ReadPacked(packedSize, index.inflated.data(), header_.indexSize);
  } catch (const OCErrorException&) {
    throw PakError("the index does not inflate: its zlib stream is damaged or holds more than the " +
                   std::to_string(header_.indexSize) + " bytes the header gives");
  }
  if (inflated != header_.indexSize) {
    index.problems.push_back("the index inflates to " + std::to_string(inflated) + " bytes, the header says " +
                             std::to_string(header_.indexSize));
    index.inflated.resize(inflated);
  }
}

void PakFile::ReadPackedRecords(PakIndex& index) {
  OCArchive records;
  records.OpenMemory(index.inflated.data(), static_cast<std::uint32_t>(index.inflated.size()));
  const std::uint64_t areaStart = std::uint64_t{PakHeaderSize(header_.version)} + header_.packedIndexSize;
  for (std::uint32_t i = 0; i < header_.entryCount; ++i) {
    PakRecord record;
    record.entry.header = header_;
    const std::int64_t start = records.position;
    if (!record.entry.Read(records)) {
      index.problems.push_back(RecordLabel(i, header_.entryCount) + " runs past the end of the index");
      return;
    }
    const auto* nameLength = reinterpret_cast<const std::uint8_t*>(index.inflated.data()) + start;
    record.rawName = index.inflated.substr(static_cast<std::size_t>(start) + 4, LittleEndian(nameLength));
    record.dataStart = areaStart + record.entry.dataOffset;
    index.records.push_back(std::move(record));
  }
}

std::string PakFile::CheckExtent(const PakRecord& record) const {
  const PakIndexEntry& e = record.entry;
  const std::string file = " the end of the file (" + std::to_string(fileSize_) + " bytes)";
  if (record.dataStart != PakDataStart(header_, e)) return "its data start lies beyond 4 GiB";
  if (record.dataStart > kSeekLimit) {
    return "its data starts at " + std::to_string(record.dataStart) + ", beyond the 2 GiB the game can seek to";
  }
  if (header_.version != 0 && e.packed != 0) {
    if (record.dataStart + e.packedSize > fileSize_) {
      return "its packed data (" + std::to_string(e.packedSize) + " bytes at offset " +
             std::to_string(record.dataStart) + ") runs past" + file;
    }
    if (e.size > InflateLimit(e.packedSize) || e.size > kSeekLimit) {
      return "its size " + std::to_string(e.size) + " cannot come from " + std::to_string(e.packedSize) +
             " packed bytes";
    }
    return {};
  }
  if (record.dataStart + e.size > fileSize_) {
    return "its data (" + std::to_string(e.size) + " bytes at offset " + std::to_string(record.dataStart) +
           ") runs past" + file;
  }
  return {};
}

void PakFile::StandOn(const PakRecord& record, std::uint32_t packed, std::int64_t base) {
  // The state the game's pak search leaves on a match.
  *archive_.entry = record.entry;
  archive_.inPak = 1;
  archive_.entryPacked = packed;
  archive_.baseOffset = base;
}

void PakFile::ReadEntry(const PakRecord& record, const std::function<void(const std::uint8_t*, std::size_t)>& sink,
                        std::string* storedStream) {
  const std::string extent = CheckExtent(record);
  if (!extent.empty()) throw EntryError(extent);
  if (header_.version != 0 && record.entry.packed != 0) {
    ReadPackedEntry(record, sink, storedStream);
  } else {
    ReadStored(record, sink);
  }
}

void PakFile::ReadStored(const PakRecord& record, const std::function<void(const std::uint8_t*, std::size_t)>& sink) {
  StandOn(record, 0, static_cast<std::int64_t>(record.dataStart));
  archive_.Seek(0);
  // The first read starts at 0 and covers the enciphered prefix (16 or 1024
  // bytes) whole, so it deciphers as the game's single read does.
  std::vector<std::uint8_t> buffer(std::min<std::uint32_t>(record.entry.size, kChunk));
  for (std::uint32_t left = record.entry.size; left != 0;) {
    const std::uint32_t count = std::min<std::uint32_t>(left, kChunk);
    if (archive_.Read(count, buffer.data()) != count) throw EntryError("the file cannot be read inside its data");
    sink(buffer.data(), count);
    left -= count;
  }
}

void PakFile::ReadPackedEntry(const PakRecord& record,
                              const std::function<void(const std::uint8_t*, std::size_t)>& sink,
                              std::string* storedStream) {
  const PakIndexEntry& e = record.entry;
  // entryPacked keeps Read from deciphering the stream, as in the game.
  StandOn(record, e.packed, 0);
  archive_.Seek(static_cast<std::int32_t>(record.dataStart));
  std::string stream;
  std::vector<std::uint8_t> data;
  try {
    stream.resize(e.packedSize);
    data.resize(std::max<std::uint32_t>(e.size, 1));
  } catch (const std::bad_alloc&) {
    throw EntryError("not enough memory for its " + std::to_string(e.size) + " bytes");
  }
  if (archive_.Read(e.packedSize, stream.data()) != e.packedSize) {
    throw EntryError("the file cannot be read inside its data");
  }
  const std::optional<std::uint32_t> inflated = BulkInflate(reinterpret_cast<const std::uint8_t*>(stream.data()),
                                                            e.packedSize, data.data(), e.size, exactInflate_);
  if (!inflated) {
    throw EntryError("its zlib stream does not inflate: damaged, or more than its size of " + std::to_string(e.size) +
                     " bytes");
  }
  if (*inflated != e.size) {
    throw EntryError("it inflates to " + std::to_string(*inflated) + " bytes, the index says " +
                     std::to_string(e.size));
  }
  DecryptWhole(e.header.version, data.data(), static_cast<std::int32_t>(e.size), e.name.data);
  if (storedStream != nullptr) *storedStream = std::move(stream);
  sink(data.data(), e.size);
}

}  // namespace paktool
