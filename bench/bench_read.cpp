// Reading through OCArchive beside the plain library call that does the same
// work: ReadPacked against one uncompress of the same stream, and a stored
// entry of a version-4 pak read in 1 MiB pieces against fread.
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "archive/oc_archive.h"
#include "archive/pak_writer.h"
#include "bench/bench_pairs.h"
#include "bench/bench_suites.h"
#include "bench/corpus_content.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kPackedEntrySize = 4u << 20;
constexpr std::size_t kStoredEntrySize = 64u << 20;
constexpr std::uint32_t kPiece = 1u << 20;

void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// One entry's zlib stream (default level, as the pak tool writes by default),
// also on disk as a loose file, since the archive inflates from its file.
struct PackedStream {
  std::string fileName;
  std::vector<std::uint8_t> stream;
  std::uint32_t size = 0;
};

const PackedStream& Stream(const std::string& kind) {
  static std::map<std::string, PackedStream> streams;
  auto found = streams.find(kind);
  if (found != streams.end()) return found->second;
  bench::Random random(kind == "script" ? 11 : kind == "image" ? 12 : 13);
  const std::vector<std::uint8_t> data = kind == "script"  ? bench::ScriptText(random, kPackedEntrySize)
                                         : kind == "image" ? bench::ImageBytes(random, kPackedEntrySize)
                                                           : bench::MediaBytes(random, kPackedEntrySize);
  PackedStream packed;
  packed.fileName = "packed-" + kind + ".z";
  packed.size = static_cast<std::uint32_t>(data.size());
  uLongf length = compressBound(data.size());
  packed.stream.resize(length);
  compress2(packed.stream.data(), &length, data.data(), data.size(), Z_DEFAULT_COMPRESSION);
  packed.stream.resize(length);
  WriteFile(bench::ScratchDirectory() / packed.fileName, packed.stream);
  return streams.emplace(kind, std::move(packed)).first->second;
}

// From the file (disk mode, the 4096-byte window filled by fread, as on a
// pak's packed entry), or from memory, which leaves the window's reads out.
void RegisterReadPacked(const std::string& kind, bool fromMemory) {
  const std::string name = "readpacked/" + kind + (fromMemory ? "/from-memory" : "");
  bench::RegisterPair(
      {name, "uncompress", static_cast<double>(kPackedEntrySize), bench::Informative()},
      [kind, fromMemory](benchmark::State& state) {
        const PackedStream& packed = Stream(kind);
        fs::current_path(bench::ScratchDirectory());
        OCArchive archive;
        if (fromMemory) {
          archive.OpenMemory(packed.stream.data(), static_cast<std::uint32_t>(packed.stream.size()));
        } else if (archive.Open(packed.fileName.c_str(), OCArchive::ModeRead) != 1) {
          state.SkipWithError("cannot open the stream file");
          return;
        }
        std::vector<std::uint8_t> block(packed.size);
        const auto length = static_cast<std::uint32_t>(packed.stream.size());
        for (auto _ : state) {
          archive.Seek(0);
          benchmark::DoNotOptimize(archive.ReadPacked(length, block.data(), packed.size));
          benchmark::ClobberMemory();
        }
      },
      [kind](benchmark::State& state) {
        const PackedStream& packed = Stream(kind);
        std::vector<std::uint8_t> block(packed.size);
        for (auto _ : state) {
          uLongf length = packed.size;
          benchmark::DoNotOptimize(uncompress(block.data(), &length, packed.stream.data(), packed.stream.size()));
          benchmark::ClobberMemory();
        }
      });
}

// A version-4 pak holding one large stored entry (random, as media is).
struct StoredPak {
  fs::path directory;
  std::string entryName;
  std::uint32_t dataStart = 0;
};

const StoredPak& Stored() {
  static const StoredPak pak = [] {
    StoredPak made;
    made.directory = bench::ScratchDirectory() / "stored";
    made.entryName = "動画\\オープニング.mpg";
    fs::create_directories(made.directory);
    bench::Random random(21);
    PakContents contents;
    contents.version = 4;
    contents.keyText = "港の灯り祭";
    contents.sizeKey = 0x1F2E3D4Cu;
    contents.entries.push_back({made.entryName, bench::MediaBytes(random, kStoredEntrySize), false, 0});
    WriteFile(made.directory / "movie.pak", BuildPak(contents));
    fs::current_path(made.directory);
    OCArchive archive;
    if (archive.Open(made.entryName.c_str(), OCArchive::ModeRead) == 1) {
      made.dataStart = static_cast<std::uint32_t>(archive.baseOffset);
    }
    return made;
  }();
  return pak;
}

void RegisterStoredRead() {
  bench::RegisterPair(
      {"read/stored-v4/1MiB-pieces", "fread", static_cast<double>(kStoredEntrySize), bench::SpeedAtLeast(0.9)},
      [](benchmark::State& state) {
        const StoredPak& pak = Stored();
        fs::current_path(pak.directory);
        OCArchive archive;
        if (archive.Open(pak.entryName.c_str(), OCArchive::ModeRead) != 1) {
          state.SkipWithError("the pak search did not find the entry");
          return;
        }
        std::vector<std::uint8_t> piece(kPiece);
        for (auto _ : state) {
          archive.Seek(0);
          std::size_t left = kStoredEntrySize;
          while (left > 0) {
            const std::uint32_t n =
                archive.Read(static_cast<std::uint32_t>(std::min<std::size_t>(left, kPiece)), piece.data());
            if (n == 0) break;
            left -= n;
          }
          benchmark::DoNotOptimize(piece.data());
          benchmark::ClobberMemory();
        }
      },
      [](benchmark::State& state) {
        const StoredPak& pak = Stored();
        std::FILE* file = std::fopen((pak.directory / "movie.pak").string().c_str(), "rb");
        if (file == nullptr || pak.dataStart == 0) {
          if (file != nullptr) std::fclose(file);
          state.SkipWithError("cannot open the pak");
          return;
        }
        std::vector<std::uint8_t> piece(kPiece);
        for (auto _ : state) {
          std::fseek(file, static_cast<long>(pak.dataStart), SEEK_SET);
          std::size_t left = kStoredEntrySize;
          while (left > 0) {
            const std::size_t n = std::fread(piece.data(), 1, std::min<std::size_t>(left, kPiece), file);
            if (n == 0) break;
            left -= n;
          }
          benchmark::DoNotOptimize(piece.data());
          benchmark::ClobberMemory();
        }
        std::fclose(file);
      });
}

}  // namespace

void RegisterReadBenchmarks() {
  for (const char* kind : {"script", "image", "media"}) RegisterReadPacked(kind, false);
  bench::RegisterOverall("readpacked/overall", {"readpacked/script", "readpacked/image", "readpacked/media"},
                         bench::SpeedAtLeast(0.95));
  for (const char* kind : {"script", "image", "media"}) RegisterReadPacked(kind, true);
  RegisterStoredRead();
}
