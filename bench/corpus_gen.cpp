// Writes a deterministic game-like corpus (scripts, images, voices, music)
// into a directory tree with Japanese names, for the pak and zip benchmarks.
//
//   oc_corpus_gen DIR [--mib N] [--seed S]
//
// The tree goes to DIR/files; DIR/stamp records what was generated, and a
// second run with the same settings leaves the tree alone.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/corpus_content.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kKiB = 1024;
constexpr std::size_t kMiB = 1024 * kKiB;

// UTF-8 text of a u8 literal as plain chars.
std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

using Content = std::vector<std::uint8_t> (*)(bench::Random&, std::size_t);

// One kind of file: its share of the corpus, its size range, and how its
// path is formed from the file's number within the kind.
struct Kind {
  const char* label;
  double share;
  std::size_t minSize;
  std::size_t maxSize;
  Content content;
  std::function<std::string(unsigned)> path;
};

std::string Numbered(const std::string& pattern, unsigned number) {
  char text[256];
  std::snprintf(text, sizeof text, pattern.c_str(), number);
  return text;
}

std::vector<Kind> Kinds() {
  const std::vector<std::string> imageFolders = {Utf8(u8"画像/背景/夕暮れの教室%03u.bmp"),
                                                 Utf8(u8"画像/立ち絵/先輩_笑顔%03u.bmp"),
                                                 Utf8(u8"画像/イベント/夏祭りの夜%03u.bmp")};
  return {
      {"script", 0.10, 4 * kKiB, 256 * kKiB, bench::ScriptText,
       [](unsigned n) {
         char chapter[16];
         std::snprintf(chapter, sizeof chapter, "%02u", n / 40 + 1);
         return Utf8(u8"シナリオ/第") + chapter + Numbered(Utf8(u8"章/シーン%03u.txt"), n % 40 + 1);
       }},
      {"image", 0.55, 32 * kKiB, 4 * kMiB, bench::ImageBytes,
       [imageFolders](unsigned n) { return Numbered(imageFolders[n % imageFolders.size()], n / 3 + 1); }},
      {"voice", 0.10, 16 * kKiB, 512 * kKiB, bench::MediaBytes,
       [](unsigned n) { return Numbered(Utf8(u8"音声/ボイス/声%05u.ogg"), n + 1); }},
      {"music", 0.25, 1 * kMiB, 8 * kMiB, bench::MediaBytes,
       [](unsigned n) { return Numbered(Utf8(u8"音楽/港の灯り%02u.ogg"), n + 1); }},
  };
}

bool WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::string ReadStamp(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DIR [--mib N] [--seed S]\n", argv[0]);
    return 2;
  }
  const fs::path root = fs::path(argv[1]) / "files";
  std::size_t totalMiB = 256;
  std::uint64_t seed = 20240601;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--mib") {
      totalMiB = std::strtoull(argv[i + 1], nullptr, 10);
    } else if (option == "--seed") {
      seed = std::strtoull(argv[i + 1], nullptr, 10);
    } else {
      std::fprintf(stderr, "unknown option %s\n", option.c_str());
      return 2;
    }
  }

  const fs::path stampPath = fs::path(argv[1]) / "stamp";
  const std::string stamp = "corpus 1 mib=" + std::to_string(totalMiB) + " seed=" + std::to_string(seed);
  if (ReadStamp(stampPath) == stamp) {
    std::printf("corpus in %s is current (%s)\n", root.string().c_str(), stamp.c_str());
    return 0;
  }
  std::error_code ignored;
  fs::remove(stampPath, ignored);
  fs::remove_all(root, ignored);

  unsigned kindNumber = 0;
  for (const Kind& kind : Kinds()) {
    // Each kind draws from its own stream, so one kind's sizes do not shift
    // another's content.
    bench::Random random(seed * 0x100000001B3ull + ++kindNumber);
    const auto budget = static_cast<std::size_t>(kind.share * static_cast<double>(totalMiB * kMiB));
    std::size_t written = 0;
    unsigned count = 0;
    while (written < budget) {
      const std::size_t size =
          std::max(kind.minSize, std::min(random.LogUniform(kind.minSize, kind.maxSize), budget - written));
      const fs::path path = root / fs::path(std::u8string(reinterpret_cast<const char8_t*>(kind.path(count).c_str())));
      if (!WriteFile(path, kind.content(random, size))) {
        std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
        return 1;
      }
      written += size;
      ++count;
    }
    std::printf("%-6s %5u files %8.1f MiB\n", kind.label, count, static_cast<double>(written) / kMiB);
  }
  std::ofstream(stampPath) << stamp << '\n';
  return 0;
}
