// The search for a requested name in a directory's .pak files, and the
// directory test it makes first. Every number taken from a pak is checked
// against the bytes really there before it is used; a pak that fails a check
// is passed over as one that does not hold the name.
#include "archive/pak_search.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "archive/file_listing.h"
#include "archive/oc_archive.h"
#include "archive/page_block.h"
#include "archive/pak_format.h"
#include "encryption/cipher_registry.h"
#include "platform/platform.h"

namespace {

// Deflate cannot expand less than this much: 258 bytes per 2-bit code at
// best, so no stream of n bytes inflates to more than n * 1032.
constexpr std::uint64_t kMaxInflateRatio = 1032;
// The archive seeks with a signed 32-bit offset and deciphers with a signed
// 32-bit length.
constexpr std::uint64_t kLargestOffset = std::numeric_limits<std::int32_t>::max();
// Bytes after the name in a record of versions 1-4: five numbers.
constexpr std::uint64_t kRecordNumbersSize = 20;

struct FreeBlock {
  void operator()(std::uint8_t* block) const { std::free(block); }
};

std::uint32_t LittleEndian32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

bool ReadNumber(OCArchive& archive, std::uint32_t& value) {
  std::uint8_t raw[4];
  if (archive.Read(sizeof raw, raw) != sizeof raw) return false;
  value = LittleEndian32(raw);
  return true;
}

// Bytes a header of version takes in the file (versions 0-4).
std::uint64_t HeaderBytes(std::uint32_t version) { return version == 0 ? 8 : PakHeaderSize(version); }

bool EndsWithSeparator(const char* text) {
  if (text == nullptr || *text == '\0') return false;
  const char* end = text + platform::lstrlenA(text);
  const char* last = platform::CharPrevA(text, end);
  return last + 1 == end && *last == '\\';
}

// True for "\" and "X:\": the separator is the root itself, and dropping it
// would name no directory at all (or the drive's current directory).
bool IsRoot(const char* text) {
  if (text[0] == '\\' && text[1] == '\0') return true;
  const char* second = platform::CharNextA(text);
  return *second == ':' && second[1] == '\\' && second[2] == '\0';
}

// directory with one trailing "\" dropped, unless it is a root.
TextString TrimmedDirectory(const char* directory) {
  TextString dir;
  dir.Assign(directory != nullptr ? directory : "");
  if (EndsWithSeparator(dir.data) && !IsRoot(dir.data)) {
    dir.cursor = platform::CharPrevA(dir.data, dir.data + dir.length);
    dir.Erase(0, -1);
  }
  return dir;
}

TextString JoinPath(const char* dir, const char* name) {
  TextString path;
  path.Format(EndsWithSeparator(dir) ? "%s%s" : "%s\\%s", dir, name);
  return path;
}

// Full paths of the directory's *.pak files (directories left out), in
// ascending lstrcmpiA order.
std::vector<TextString> ListPaks(const char* dir) {
  std::vector<TextString> paks;
  const TextString pattern = JoinPath(dir, "*.pak");
  archive_detail::ForEachFile(pattern.data, [&](const platform::FindData& found) {
    paks.push_back(JoinPath(dir, found.fileName));
    return true;
  });
  std::stable_sort(paks.begin(), paks.end(),
                   [](const TextString& a, const TextString& b) { return platform::lstrcmpiA(a.data, b.data) < 0; });
  return paks;
}

// The record matches when its name begins with key, letter case aside.
bool NameMatches(const TextString& key, const TextString& name) {
  const auto count = static_cast<std::size_t>(key.length);
  if (key.data == nullptr || count == 0) return true;
  return platform::CompareNoCaseBytes(key.data, name.data != nullptr ? name.data : "", count) == 0;
}

// Leaves the archive on nothing, with no record or name of the pak kept.
void DiscardPak(OCArchive& archive) {
  archive.Close();
  archive.openedName.Clear();
  *archive.entry = PakIndexEntry();
}

// Version 0: records straight from the pak file, data at absolute offsets.
bool SearchVersion0(OCArchive& archive, const TextString& key, std::uint64_t fileSize) {
  PakIndexEntry& entry = *archive.entry;
  for (std::uint32_t i = 0; i < entry.header.entryCount; ++i) {
    std::uint32_t unused = 0;
    if (!archive.ReadLengthPrefixed(entry.name) || !ReadNumber(archive, entry.dataOffset) ||
        !ReadNumber(archive, unused) || !ReadNumber(archive, entry.size)) {
      return false;
    }
    if (!NameMatches(key, entry.name)) continue;
    if (entry.dataOffset > kLargestOffset || std::uint64_t{entry.dataOffset} + entry.size > fileSize) return false;
    archive.openedName = entry.name;
    archive.Seek(static_cast<std::int32_t>(entry.dataOffset));
    archive.baseOffset = entry.dataOffset;
    archive.inPak = 1;
    return true;
  }
  return false;
}

// True when the next record of index lies whole inside it.
bool RecordFits(OCArchive& index) {
  const std::uint64_t left = index.BytesLeft();
  if (left < 4) return false;
  const std::uint64_t nameLength = LittleEndian32(index.memoryCursor);
  return nameLength <= left - 4 && left - 4 - nameLength >= kRecordNumbersSize;
}

// Puts the archive on the matched record of a version 1-4 pak; false when the
// record's data does not lie inside the file or does not inflate to its size.
bool OpenMatchedEntry(OCArchive& archive, std::uint64_t fileSize) {
  PakIndexEntry& entry = *archive.entry;
  const PakHeader& header = entry.header;
  const std::uint64_t start = std::uint64_t{PakHeaderSize(header.version)} + header.packedIndexSize + entry.dataOffset;
  const std::uint64_t storedBytes = entry.packed != 0 ? entry.packedSize : entry.size;
  if (start > kLargestOffset || start + storedBytes > fileSize) return false;
  if (entry.packed != 0 &&
      (entry.size > kLargestOffset || entry.size > std::uint64_t{entry.packedSize} * kMaxInflateRatio)) {
    return false;
  }
  const std::uint32_t dataStart = PakDataStart(header, entry);
  archive.Seek(static_cast<std::int32_t>(dataStart));
  archive.baseOffset = dataStart;
  archive.openedName = entry.name;
  archive.inPak = 1;
  archive.entryPacked = entry.packed;
  if (entry.packed == 0) return true;

  std::unique_ptr<std::uint8_t, FreeBlock> block(static_cast<std::uint8_t*>(std::malloc(std::max(entry.size, 1u))));
  if (!block) throw std::bad_alloc();
  // The stream as stored (entryPacked keeps Read from deciphering it); the
  // inflated bytes are deciphered as a whole.
  if (archive.ReadPacked(entry.packedSize, block.get(), entry.size) != entry.size) return false;
  DecryptWhole(header.version, block.get(), static_cast<std::int32_t>(entry.size), entry.name.data);
  archive.ownsMemory = 1;
  archive.memoryBase = block.release();
  archive.memoryCursor = archive.memoryBase;
  archive.memorySize = entry.size;
  archive.baseOffset = 0;
  archive.inMemory = 1;
  return true;
}

// Versions 1-4: the index is inflated whole into committed pages and its
// records are read from there.
bool SearchPackedIndex(OCArchive& archive, const TextString& key, std::uint64_t fileSize) {
  PakIndexEntry& entry = *archive.entry;
  const PakHeader header = entry.header;
  if (header.packedIndexSize > fileSize - PakHeaderSize(header.version)) return false;
  if (header.indexSize == 0 || header.indexSize > std::uint64_t{header.packedIndexSize} * kMaxInflateRatio) {
    return false;
  }
  const PageBlock block(header.indexSize);
  if (archive.ReadPacked(header.packedIndexSize, block.pointer, header.indexSize) != header.indexSize) return false;
  OCArchive index;
  index.OpenMemory(block.pointer, header.indexSize);
  for (std::uint32_t i = 0; i < header.entryCount; ++i) {
    if (!RecordFits(index) || !entry.Read(index)) return false;
    if (NameMatches(key, entry.name)) return OpenMatchedEntry(archive, fileSize);
  }
  return false;
}

// Opens path as a pak on the archive and looks for key in it. On a miss the
// archive is left on nothing.
bool SearchPak(OCArchive& archive, const char* path, const TextString& key) {
  *archive.entry = PakIndexEntry();
  // A pak is a file on disk: it is never itself looked for in the paks.
  if (archive.Open(path, OCArchive::ModeRead | OCArchive::FlagDiskOnly) == 0) {
    DiscardPak(archive);
    return false;
  }
  const std::uint64_t fileSize = archive.BytesLeft();
  PakHeader header;
  const bool headerRead = header.Read(archive);
  if (!headerRead || header.version > 4 || fileSize < HeaderBytes(header.version)) {
    DiscardPak(archive);
    return false;
  }
  archive.entry->header = header;
  const bool found =
      header.version == 0 ? SearchVersion0(archive, key, fileSize) : SearchPackedIndex(archive, key, fileSize);
  if (!found) DiscardPak(archive);
  return found;
}

}  // namespace

std::int32_t SearchPakDirectory(OCArchive& archive, const char* directory, const char* name) {
  TextString key;
  key.Assign(name != nullptr ? name : "");
  key.ReplaceAll("\\\\", "\\");
  const TextString dir = TrimmedDirectory(directory);
  if (PathExists(dir.data) == 0) return 0;
  for (const TextString& path : ListPaks(dir.data)) {
    if (SearchPak(archive, path.data, key)) return 1;
  }
  return 0;
}

std::int32_t PathExists(const char* path) {
  if (path == nullptr) return 0;
  if (path[0] != '\\') {
    const char* second = platform::CharNextA(path);
    if (*second == ':') {
      const char* end = platform::CharNextA(platform::CharNextA(second));
      TextString root;
      root.AssignRange(path, static_cast<std::int32_t>(end - path));
      platform::DWORD maximumComponentLength = 0;
      platform::DWORD fileSystemFlags = 0;
      if (!platform::GetVolumeInformationA(root.data, &maximumComponentLength, &fileSystemFlags)) return 0;
    }
  }
  return platform::GetFileAttributesA(path) != platform::INVALID_FILE_ATTRIBUTES ? 1 : 0;
}
