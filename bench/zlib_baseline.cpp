// The single-thread baseline for the pak tool: the same zlib streams deflated
// or inflated one after the other with one zlib call each, with the same file
// reads and writes, and no more.
//
//   oc_zlib_baseline deflate LEVEL DIR OUT   every file below DIR, enciphered
//       and deflated as a version-4 pak stores it (stored when deflate does
//       not make it smaller), the streams written one after another to OUT
//   oc_zlib_baseline inflate PAK DIR         every entry of a version-4 pak,
//       inflated and deciphered, written below DIR
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "archive/oc_archive.h"
#include "archive/pak_format.h"
#include "encryption/cipher_registry.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kPakVersion = 4;

struct CloseFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, CloseFile>;

std::string Utf8Of(const fs::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

fs::path PathOfUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

bool ReadWholeFile(const fs::path& path, std::vector<std::uint8_t>& data) {
  const File file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  std::error_code error;
  data.resize(static_cast<std::size_t>(fs::file_size(path, error)));
  return !error && std::fread(data.data(), 1, data.size(), file.get()) == data.size();
}

int Deflate(int level, const fs::path& root, const fs::path& output) {
  std::vector<fs::path> files;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    if (item.is_regular_file()) files.push_back(item.path());
  }
  std::sort(files.begin(), files.end());
  const File out(std::fopen(output.c_str(), "wb"));
  if (!out) return 1;
  std::vector<std::uint8_t> data;
  std::vector<std::uint8_t> packed;
  for (const fs::path& file : files) {
    std::string utf8Name;
    for (const fs::path& part : file.lexically_relative(root)) {
      if (!utf8Name.empty()) utf8Name += '\\';
      utf8Name += Utf8Of(part);
    }
    const std::string name = platform::Utf8ToAnsi(utf8Name);
    if (!ReadWholeFile(file, data)) {
      std::fprintf(stderr, "cannot read %s\n", file.c_str());
      return 1;
    }
    const auto size = static_cast<std::int32_t>(data.size());
    // A packed entry's every byte is enciphered before it is deflated.
    DecryptWhole(kPakVersion, data.data(), size, name.c_str());
    uLongf length = compressBound(data.size());
    packed.resize(length);
    if (compress2(packed.data(), &length, data.data(), data.size(), level) != Z_OK) return 1;
    if (length < data.size()) {
      std::fwrite(packed.data(), 1, length, out.get());
      continue;
    }
    // Stored: back to plain, then only the enciphered prefix (the first 1024
    // bytes; DecryptChunk stops there by itself).
    DecryptWhole(kPakVersion, data.data(), size, name.c_str());
    DecryptChunk(kPakVersion, data.data(), 0, size, name.c_str());
    std::fwrite(data.data(), 1, data.size(), out.get());
  }
  return std::ferror(out.get()) != 0 ? 1 : 0;
}

// The records of a version-4 pak through the system's own header and record
// readers; the index is small next to the data.
bool ReadIndex(const fs::path& pakPath, PakHeader& header, std::vector<PakIndexEntry>& records) {
  const std::string ansiPath = platform::Utf8ToAnsi(Utf8Of(fs::absolute(pakPath)));
  OCArchive pak;
  if (pak.Open(ansiPath.c_str(), OCArchive::ModeRead | OCArchive::FlagDiskOnly) != 1) return false;
  if (!header.Read(pak) || header.version != kPakVersion) return false;
  std::vector<std::uint8_t> packed(header.packedIndexSize);
  std::vector<std::uint8_t> index(header.indexSize);
  uLongf length = index.size();
  if (pak.Read(header.packedIndexSize, packed.data()) != packed.size() ||
      uncompress(index.data(), &length, packed.data(), packed.size()) != Z_OK) {
    return false;
  }
  OCArchive memory;
  memory.OpenMemory(index.data(), static_cast<std::uint32_t>(length));
  PakIndexEntry record;
  record.header = header;
  for (std::uint32_t i = 0; i < header.entryCount; ++i) {
    if (!record.Read(memory)) return false;
    records.push_back(record);
  }
  return true;
}

int Inflate(const fs::path& pakPath, const fs::path& root) {
  PakHeader header;
  std::vector<PakIndexEntry> records;
  if (!ReadIndex(pakPath, header, records)) {
    std::fprintf(stderr, "cannot read the index of %s\n", pakPath.c_str());
    return 1;
  }
  const File pak(std::fopen(pakPath.c_str(), "rb"));
  if (!pak) return 1;
  std::vector<std::uint8_t> stored;
  std::vector<std::uint8_t> data;
  for (const PakIndexEntry& record : records) {
    const std::uint32_t storedSize = record.packed != 0 ? record.packedSize : record.size;
    stored.resize(storedSize);
    std::fseek(pak.get(), static_cast<long>(PakDataStart(header, record)), SEEK_SET);
    if (std::fread(stored.data(), 1, storedSize, pak.get()) != storedSize) return 1;
    const std::vector<std::uint8_t>* plain = &stored;
    if (record.packed != 0) {
      data.resize(record.size);
      uLongf length = record.size;
      if (uncompress(data.data(), &length, stored.data(), storedSize) != Z_OK || length != record.size) return 1;
      DecryptWhole(kPakVersion, data.data(), static_cast<std::int32_t>(record.size), record.name.data);
      plain = &data;
    } else {
      DecryptChunk(kPakVersion, stored.data(), 0, static_cast<std::int32_t>(storedSize), record.name.data);
    }
    std::string relative = platform::AnsiToUtf8(record.name.data);
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const fs::path target = root / PathOfUtf8(relative);
    fs::create_directories(target.parent_path());
    const File out(std::fopen(target.c_str(), "wb"));
    if (!out || std::fwrite(plain->data(), 1, record.size, out.get()) != record.size) return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "deflate" && argc == 5) return Deflate(std::atoi(argv[2]), argv[3], argv[4]);
  if (command == "inflate" && argc == 4) return Inflate(argv[2], argv[3]);
  std::fprintf(stderr, "usage: %s deflate LEVEL DIR OUT | inflate PAK DIR\n", argv[0]);
  return 2;
}
