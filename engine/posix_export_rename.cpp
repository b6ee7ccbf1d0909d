// Post-link step of system.dll on POSIX: renames the engine entry's dynamic
// symbol from its placeholder to the decorated name (posix_export_name.h) and
// rebuilds the symbol hash table that lookups by name go through.
// Usage: posix_export_rename <shared object>, a 64-bit little-endian ELF file
// linked with --hash-style=sysv.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "engine/posix_export_name.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Section types (sh_type) this step reads.
constexpr std::uint32_t kSectionHash = 5;             // SHT_HASH: the System V symbol hash table
constexpr std::uint32_t kSectionDynamicSymbols = 11;  // SHT_DYNSYM
constexpr std::uint32_t kSectionGnuHash =
    0x6ffffff6;                            // SHT_GNU_HASH: would have to be rebuilt, with a new symbol order
constexpr std::uint64_t kSymbolSize = 24;  // sizeof(Elf64_Sym); st_name is its first u32

struct Section {
  std::uint32_t type = 0;
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
  std::uint32_t link = 0;
};

void Check(bool condition, const char* what) {
  if (!condition) {
    throw std::runtime_error(what);
  }
}

// A little-endian field of size bytes at offset, inside the file.
std::uint64_t Field(const Bytes& bytes, std::uint64_t offset, unsigned size) {
  Check(offset <= bytes.size() && bytes.size() - offset >= size, "truncated ELF file");
  std::uint64_t value = 0;
  for (unsigned i = size; i-- > 0;) {
    value = value << 8 | bytes[offset + i];
  }
  return value;
}

void Store32(Bytes& bytes, std::uint64_t offset, std::uint32_t value) {
  Check(offset <= bytes.size() && bytes.size() - offset >= 4, "truncated ELF file");
  for (unsigned i = 0; i < 4; ++i) {
    bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
  }
}

std::vector<Section> ReadSections(const Bytes& elf) {
  constexpr unsigned char kMagic[] = {0x7f, 'E', 'L', 'F'};
  Check(elf.size() >= 64 && std::memcmp(elf.data(), kMagic, sizeof kMagic) == 0, "not an ELF file");
  Check(elf[4] == 2 && elf[5] == 1, "not a 64-bit little-endian ELF file");
  // Elf64_Ehdr: e_shoff at 40, e_shentsize at 58, e_shnum at 60.
  const std::uint64_t tableOffset = Field(elf, 40, 8);
  const std::uint64_t entrySize = Field(elf, 58, 2);
  const std::uint64_t count = Field(elf, 60, 2);
  Check(entrySize >= 64, "unexpected section header size");
  std::vector<Section> sections;
  for (std::uint64_t i = 0; i < count; ++i) {
    // Elf64_Shdr: sh_type at 4, sh_offset at 24, sh_size at 32, sh_link at 40.
    const std::uint64_t at = tableOffset + i * entrySize;
    Section section{static_cast<std::uint32_t>(Field(elf, at + 4, 4)), Field(elf, at + 24, 8), Field(elf, at + 32, 8),
                    static_cast<std::uint32_t>(Field(elf, at + 40, 4))};
    if (section.type == kSectionHash || section.type == kSectionDynamicSymbols) {
      Check(section.offset <= elf.size() && elf.size() - section.offset >= section.size, "section outside the file");
    }
    sections.push_back(section);
  }
  return sections;
}

const Section& OnlySection(const std::vector<Section>& sections, std::uint32_t type, const char* what) {
  const Section* found = nullptr;
  for (const Section& section : sections) {
    if (section.type == type) {
      Check(found == nullptr, what);
      found = &section;
    }
  }
  Check(found != nullptr, what);
  return *found;
}

// The System V ELF hash of a symbol name.
std::uint32_t ElfHash(const unsigned char* name) {
  std::uint32_t hash = 0;
  for (; *name != 0; ++name) {
    hash = (hash << 4) + *name;
    const std::uint32_t high = hash & 0xf0000000u;
    hash ^= high >> 24;
    hash &= ~high;
  }
  return hash;
}

class DynamicSymbols {
 public:
  DynamicSymbols(Bytes& elf, const std::vector<Section>& sections)
      : elf_(elf), symbols_(OnlySection(sections, kSectionDynamicSymbols, "expected one dynamic symbol table")) {
    Check(symbols_.link < sections.size(), "dynamic symbols without a string table");
    strings_ = sections[symbols_.link];
    Check(strings_.offset <= elf.size() && elf.size() - strings_.offset >= strings_.size,
          "string table outside the file");
  }

  std::uint64_t Count() const { return symbols_.size / kSymbolSize; }

  // Where symbol i's NUL-terminated name starts in the file.
  std::uint64_t NameOffset(std::uint64_t i) const {
    const std::uint64_t name = Field(elf_, symbols_.offset + i * kSymbolSize, 4);
    Check(name < strings_.size, "symbol name outside the string table");
    const auto* begin = elf_.data() + strings_.offset + name;
    Check(std::memchr(begin, 0, strings_.size - name) != nullptr, "unterminated symbol name");
    return strings_.offset + name;
  }

 private:
  Bytes& elf_;
  const Section& symbols_;
  Section strings_;
};

void RenameEntry(Bytes& elf, const DynamicSymbols& symbols) {
  int renamed = 0;
  for (std::uint64_t i = 1; i < symbols.Count(); ++i) {
    const std::uint64_t at = symbols.NameOffset(i);
    if (std::strcmp(reinterpret_cast<const char*>(elf.data() + at), kEngineEntryPlaceholder) == 0) {
      std::memcpy(elf.data() + at, kEngineEntryName, sizeof kEngineEntryName);
      ++renamed;
    }
  }
  Check(renamed == 1, "the placeholder entry is not exported exactly once");
}

// Rebuilds the System V hash table (u32 bucket count, u32 chain count, the
// buckets, the chains) over the renamed names. Its size does not depend on
// the names, so it is rewritten in place.
void RebuildHash(Bytes& elf, const Section& hash, const DynamicSymbols& symbols) {
  const std::uint64_t buckets = Field(elf, hash.offset, 4);
  const std::uint64_t chains = Field(elf, hash.offset + 4, 4);
  Check(buckets > 0 && chains == symbols.Count() && hash.size >= 8 + 4 * (buckets + chains), "unexpected hash table");
  const std::uint64_t bucketBase = hash.offset + 8;
  const std::uint64_t chainBase = bucketBase + 4 * buckets;
  for (std::uint64_t i = 0; i < buckets + chains; ++i) {
    Store32(elf, bucketBase + 4 * i, 0);
  }
  for (std::uint64_t i = 1; i < chains; ++i) {
    const std::uint64_t bucket = ElfHash(elf.data() + symbols.NameOffset(i)) % buckets;
    Store32(elf, chainBase + 4 * i, static_cast<std::uint32_t>(Field(elf, bucketBase + 4 * bucket, 4)));
    Store32(elf, bucketBase + 4 * bucket, static_cast<std::uint32_t>(i));
  }
}

Bytes ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  Check(in.good(), "cannot open the file");
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const char* path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  Check(out.good(), "cannot write the file");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: posix_export_rename <shared object>\n");
    return 2;
  }
  try {
    Bytes elf = ReadFile(argv[1]);
    const std::vector<Section> sections = ReadSections(elf);
    for (const Section& section : sections) {
      Check(section.type != kSectionGnuHash, "a GNU hash table is present: link with --hash-style=sysv");
    }
    const DynamicSymbols symbols(elf, sections);
    RenameEntry(elf, symbols);
    RebuildHash(elf, OnlySection(sections, kSectionHash, "expected one System V hash table"), symbols);
    WriteFile(argv[1], elf);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "posix_export_rename: %s: %s\n", argv[1], error.what());
    return 1;
  }
  return 0;
}
