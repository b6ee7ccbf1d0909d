// Opening the last name of a version-4 pak of 1,000, 50,000 and 500,000
// records, beside the least that lookup can cost: inflating the same index in
// one call and scanning its records for the name with memcmp.
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "archive/oc_archive.h"
#include "archive/page_block.h"
#include "archive/pak_format.h"
#include "archive/pak_writer.h"
#include "bench/bench_pairs.h"
#include "bench/bench_suites.h"

namespace fs = std::filesystem;

namespace {

// Folder and file patterns of a game's data, code page 932 as in the index.
const char* const kNamePatterns[] = {
    "画像\\背景\\夕暮れの教室%06u.bmp",
    "画像\\立ち絵\\先輩_笑顔%06u.bmp",
    "音声\\ボイス\\声%06u.ogg",
    "シナリオ\\第一章\\シーン%06u.txt",
};

std::string RecordName(unsigned number) {
  char name[128];
  std::snprintf(name, sizeof name, kNamePatterns[number % std::size(kNamePatterns)], number);
  return name;
}

std::uint32_t LittleEndian32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// A directory holding one pak of count small stored entries, and what the
// limit needs of it: the packed index as stored and its header's sizes.
struct IndexPak {
  fs::path directory;
  std::string lastName;
  PakHeader header;
  std::vector<std::uint8_t> packedIndex;
};

const IndexPak& Pak(unsigned count) {
  static std::map<unsigned, IndexPak> paks;
  auto found = paks.find(count);
  if (found != paks.end()) return found->second;
  IndexPak pak;
  pak.directory = bench::ScratchDirectory() / ("index-" + std::to_string(count));
  fs::create_directories(pak.directory);
  PakContents contents;
  contents.version = 4;
  contents.keyText = "港の灯り祭";
  contents.sizeKey = 0x1F2E3D4Cu;
  contents.entries.reserve(count);
  for (unsigned i = 0; i < count; ++i) {
    contents.entries.push_back({RecordName(i), std::vector<std::uint8_t>(16, static_cast<std::uint8_t>(i)), false, 0});
  }
  pak.lastName = RecordName(count - 1);
  const std::vector<std::uint8_t> bytes = BuildPak(contents);
  std::ofstream(pak.directory / "data.pak", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

  // The header as the system reads it, then the packed index right after it.
  fs::current_path(pak.directory);
  OCArchive file;
  if (file.Open("data.pak", OCArchive::ModeRead) == 1 && pak.header.Read(file)) {
    const std::size_t start = PakHeaderSize(pak.header.version);
    if (start + pak.header.packedIndexSize <= bytes.size()) {
      pak.packedIndex.assign(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                             bytes.begin() + static_cast<std::ptrdiff_t>(start + pak.header.packedIndexSize));
    }
  }
  return paks.emplace(count, std::move(pak)).first->second;
}

void RegisterOpen(unsigned count) {
  const std::string name = "open/last-of-" + std::to_string(count);
  const bench::Target target = count == 50000 ? bench::TimeAtMost(1.35) : bench::Informative();
  bench::RegisterPair(
      {name, "uncompress + memcmp scan", 0, target},
      [count](benchmark::State& state) {
        const IndexPak& pak = Pak(count);
        fs::current_path(pak.directory);
        OCArchive archive;
        for (auto _ : state) {
          if (archive.Open(pak.lastName.c_str(), OCArchive::ModeRead) != 1) {
            state.SkipWithError("the pak search did not find the last name");
            break;
          }
        }
      },
      [count](benchmark::State& state) {
        const IndexPak& pak = Pak(count);
        if (pak.packedIndex.empty()) {
          state.SkipWithError("cannot read the pak's index");
          return;
        }
        std::vector<std::uint8_t> index(pak.header.indexSize);
        const auto* key = reinterpret_cast<const std::uint8_t*>(pak.lastName.data());
        const std::size_t keyLength = pak.lastName.size();
        for (auto _ : state) {
          uLongf length = index.size();
          uncompress(index.data(), &length, pak.packedIndex.data(), pak.packedIndex.size());
          const std::uint8_t* record = index.data();
          const std::uint8_t* const end = record + length;
          const std::uint8_t* match = nullptr;
          for (std::uint32_t i = 0; i < pak.header.entryCount && end - record >= 4; ++i) {
            const std::uint32_t nameLength = LittleEndian32(record);
            record += 4;
            if (nameLength + std::size_t{20} > static_cast<std::size_t>(end - record)) break;
            if (nameLength >= keyLength && std::memcmp(record, key, keyLength) == 0) {
              match = record;
              break;
            }
            record += nameLength + 20;
          }
          if (match == nullptr) {
            state.SkipWithError("the scan did not find the last name");
            break;
          }
          benchmark::DoNotOptimize(match);
        }
      });
}

// Every Open commits fresh pages for the inflated index, and the first touch
// of each costs a page fault; how much depends on the machine (a virtual
// machine may pay far more than bare metal).
void RegisterFreshPages(unsigned count) {
  bench::RegisterPair(
      {"open/fresh-index-pages-" + std::to_string(count), "the same pages reused", 0, bench::Informative()},
      [count](benchmark::State& state) {
        const std::uint32_t size = Pak(count).header.indexSize;
        for (auto _ : state) {
          const PageBlock block(size);
          auto* bytes = static_cast<volatile std::uint8_t*>(block.pointer);
          for (std::uint32_t i = 0; i < size; i += 4096) bytes[i] = 1;
        }
      },
      [count](benchmark::State& state) {
        std::vector<std::uint8_t> reused(Pak(count).header.indexSize);
        for (auto _ : state) {
          auto* bytes = static_cast<volatile std::uint8_t*>(reused.data());
          for (std::size_t i = 0; i < reused.size(); i += 4096) bytes[i] = 1;
        }
      });
}

}  // namespace

void RegisterOpenBenchmarks() {
  for (unsigned count : {1000u, 50000u, 500000u}) RegisterOpen(count);
  RegisterFreshPages(50000);
}
