// Writing paks: enciphering and deflating entries, and laying out header and index.
#include "archive/pak_writer.h"

#include <zlib.h>

#include <cstring>
#include <limits>

#include "encryption/cipher_registry.h"

namespace {

// The archive seeks to entry data with a signed 32-bit offset.
constexpr std::uint64_t kLargestDataStart = std::numeric_limits<std::int32_t>::max();
constexpr std::uint64_t kLargestBlock = std::numeric_limits<std::int32_t>::max();

void AppendNumber(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void AppendBytes(std::vector<std::uint8_t>& out, const void* bytes, std::size_t count) {
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  out.insert(out.end(), p, p + count);
}

std::string_view NameOf(const PakIndexEntry& record) {
  return record.name.data != nullptr ? std::string_view(record.name.data, static_cast<std::size_t>(record.name.length))
                                     : std::string_view();
}

void CheckVersion(std::uint32_t version) {
  if (version > 4) throw PakWriteError("pak version " + std::to_string(version) + " does not exist (0 to 4)");
}

void CheckLevel(int level) {
  if (level < -1 || level > 9) throw PakWriteError("compression level " + std::to_string(level) + " is not -1 to 9");
}

void DeflateInto(const std::vector<std::uint8_t>& plain, int level, std::vector<std::uint8_t>& packed) {
  if (plain.size() > kLargestBlock) throw PakWriteError("block too large to compress");
  uLongf packedLength = compressBound(static_cast<uLong>(plain.size()));
  packed.resize(packedLength);
  if (compress2(packed.data(), &packedLength, plain.data(), static_cast<uLong>(plain.size()), level) != Z_OK) {
    throw PakWriteError("zlib could not compress");
  }
  packed.resize(packedLength);
}

std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& plain, int level) {
  std::vector<std::uint8_t> packed;
  DeflateInto(plain, level, packed);
  return packed;
}

// Checks an entry and fills its record but for the packed fields.
PakIndexEntry StartRecord(std::uint32_t version, const std::string& name, std::size_t size, bool packed,
                          std::uint32_t spare, int level) {
  CheckVersion(version);
  CheckLevel(level);
  if (name.find('\0') != std::string::npos) throw PakWriteError("entry name holds a zero byte: " + name);
  if (size > kLargestBlock) throw PakWriteError("entry larger than 2 GiB: " + name);
  if (packed && version == 0) throw PakWriteError("pak version 0 cannot hold packed entries: " + name);
  PakIndexEntry record;
  record.header.version = version;
  record.name.Assign(name.c_str());
  record.size = static_cast<std::uint32_t>(size);
  record.spare = spare;
  return record;
}

// Readers inflate first and decipher the inflated bytes as a whole, so data is
// enciphered (in place) before it is deflated into packed.
void EncipherAndDeflate(PakIndexEntry& record, const std::string& name, std::vector<std::uint8_t>& data, int level,
                        std::vector<std::uint8_t>& packed) {
  DecryptWhole(record.header.version, data.data(), static_cast<std::int32_t>(data.size()), name.c_str());
  DeflateInto(data, level, packed);
  record.packed = 1;
  record.packedSize = static_cast<std::uint32_t>(packed.size());
}

// Readers decipher a stored entry as one read from offset 0.
void EncipherStored(std::uint32_t version, const std::string& name, std::vector<std::uint8_t>& data) {
  DecryptChunk(version, data.data(), 0, static_cast<std::int32_t>(data.size()), name.c_str());
}

// version 0: nameLength, name, absolute dataOffset, spare, size.
// versions 1-4: nameLength, name, then dataOffset, size, spare, packed and
// packedSize, each XOR MakeKey(name) by the pak's cipher.
void AppendRecord(std::vector<std::uint8_t>& index, std::uint32_t version, const PakIndexEntry& record,
                  std::uint32_t dataAreaStart) {
  const std::string_view name = NameOf(record);
  AppendNumber(index, static_cast<std::uint32_t>(name.size()));
  AppendBytes(index, name.data(), name.size());
  if (version == 0) {
    AppendNumber(index, dataAreaStart + record.dataOffset);
    AppendNumber(index, record.spare);
    AppendNumber(index, record.size);
    return;
  }
  const std::uint32_t key = CipherRegistry::Entry(EncryptionVersionOf(version)).MakeKey(std::string(name).c_str());
  for (std::uint32_t value : {record.dataOffset, record.size, record.spare, record.packed, record.packedSize}) {
    AppendNumber(index, value ^ key);
  }
}

std::uint64_t Version0IndexSize(const std::vector<PakIndexEntry>& records) {
  std::uint64_t total = 0;
  for (const PakIndexEntry& record : records) total += 16 + NameOf(record).size();
  return total;
}

}  // namespace

PakHeader MakePakHeader(std::uint32_t version, std::string_view keyText, std::uint32_t sizeKey) {
  CheckVersion(version);
  PakHeader header;
  if (keyText.size() > sizeof header.keyText) throw PakWriteError("key text longer than 256 bytes");
  if (keyText.find('\0') != std::string_view::npos) throw PakWriteError("key text holds a zero byte");
  header.version = version;
  header.sizeKey = sizeKey;
  std::memcpy(header.keyText, keyText.data(), keyText.size());
  return header;
}

PreparedPakEntry PreparePakEntry(std::uint32_t version, std::string_view name, std::vector<std::uint8_t> data,
                                 bool packed, std::uint32_t spare, int level) {
  const std::string nameText(name);
  PreparedPakEntry entry;
  entry.record = StartRecord(version, nameText, data.size(), packed, spare, level);
  if (packed) {
    EncipherAndDeflate(entry.record, nameText, data, level, entry.bytes);
  } else {
    EncipherStored(version, nameText, data);
    entry.bytes = std::move(data);
  }
  return entry;
}

PakIndexEntry PreparePakEntry(std::uint32_t version, std::string_view name, std::vector<std::uint8_t>& data,
                              bool packed, std::uint32_t spare, int level, std::vector<std::uint8_t>& bytes) {
  const std::string nameText(name);
  PakIndexEntry record = StartRecord(version, nameText, data.size(), packed, spare, level);
  if (packed) {
    EncipherAndDeflate(record, nameText, data, level, bytes);
    // Every cipher is its own inverse.
    DecryptWhole(version, data.data(), static_cast<std::int32_t>(data.size()), nameText.c_str());
  } else {
    bytes.assign(data.begin(), data.end());
    EncipherStored(version, nameText, bytes);
  }
  return record;
}

std::vector<std::uint8_t> EncodePakHeader(const PakHeader& header) {
  CheckVersion(header.version);
  std::vector<std::uint8_t> out;
  AppendNumber(out, header.version);
  switch (header.version) {
    case 0:
      AppendNumber(out, header.entryCount);
      break;
    case 1:
      for (std::uint32_t value : {header.entryCount, header.indexSize, header.packedIndexSize})
        AppendNumber(out, value);
      break;
    case 2:
      for (std::uint32_t value : {header.entryCount, header.indexSize, header.packedIndexSize, header.sizeKey}) {
        AppendNumber(out, value);
      }
      AppendBytes(out, header.keyText, sizeof header.keyText);
      break;
    default: {
      const std::uint32_t k1 = header.KeyTextKey();
      AppendBytes(out, header.keyText, sizeof header.keyText);
      AppendNumber(out, header.sizeKey);
      AppendNumber(out, header.indexSize ^ k1);
      AppendNumber(out, header.entryCount ^ k1);
      AppendNumber(out, header.packedIndexSize ^ header.sizeKey);
      break;
    }
  }
  return out;
}

std::vector<std::uint8_t> BuildPakHead(PakHeader& header, const std::vector<PakIndexEntry>& records, int level) {
  CheckVersion(header.version);
  CheckLevel(level);
  if (records.size() > std::numeric_limits<std::uint32_t>::max()) throw PakWriteError("too many entries");
  header.entryCount = static_cast<std::uint32_t>(records.size());

  // Version 0's index is plain, so the data area starts after it; the other
  // versions' data area starts after the packed index and offsets are relative.
  const std::uint64_t dataAreaStart =
      header.version == 0 ? PakIndexStart(0) + Version0IndexSize(records) : std::uint64_t{0};
  if (dataAreaStart > kLargestDataStart) throw PakWriteError("index too large");
  std::vector<std::uint8_t> index;
  for (const PakIndexEntry& record : records) {
    AppendRecord(index, header.version, record, static_cast<std::uint32_t>(dataAreaStart));
  }
  if (index.size() > kLargestBlock) throw PakWriteError("index too large");
  // Version 0 keeps neither size; zero them as a reader of it would see them.
  header.indexSize = 0;
  header.packedIndexSize = 0;
  std::vector<std::uint8_t> packedIndex;
  if (header.version != 0) {
    header.indexSize = static_cast<std::uint32_t>(index.size());
    packedIndex = Deflate(index, level);
    header.packedIndexSize = static_cast<std::uint32_t>(packedIndex.size());
  }
  std::vector<std::uint8_t> head = EncodePakHeader(header);
  const std::vector<std::uint8_t>& body = header.version == 0 ? index : packedIndex;
  AppendBytes(head, body.data(), body.size());

  for (const PakIndexEntry& record : records) {
    if (head.size() + std::uint64_t{record.dataOffset} > kLargestDataStart) {
      throw PakWriteError("entry data would start beyond 2 GiB: " + std::string(NameOf(record)));
    }
  }
  return head;
}

std::vector<std::uint8_t> BuildPak(const PakContents& contents) {
  PakHeader header = MakePakHeader(contents.version, contents.keyText, contents.sizeKey);
  std::vector<PakIndexEntry> records;
  std::vector<std::uint8_t> dataArea;
  for (const PakEntryContents& source : contents.entries) {
    PreparedPakEntry entry =
        PreparePakEntry(contents.version, source.name, source.data, source.packed, source.spare, contents.compressionLevel);
    if (dataArea.size() > kLargestDataStart) throw PakWriteError("pak data beyond 2 GiB: " + source.name);
    entry.record.dataOffset = static_cast<std::uint32_t>(dataArea.size());
    AppendBytes(dataArea, entry.bytes.data(), entry.bytes.size());
    records.push_back(std::move(entry.record));
  }
  std::vector<std::uint8_t> pak = BuildPakHead(header, records, contents.compressionLevel);
  AppendBytes(pak, dataArea.data(), dataArea.size());
  return pak;
}
