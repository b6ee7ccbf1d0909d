// Writes the seed corpus of the pak fuzz target: small valid paks of every
// version, stored and packed, holding the name the target opens.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "archive/pak_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_DIRECTORY\n", argv[0]);
    return 2;
  }
  const std::filesystem::path directory = argv[1];
  std::filesystem::create_directories(directory);
  const std::string text = "[section]\nname=value\n";
  for (std::uint32_t version = 0; version <= 4; ++version) {
    for (bool packed : {false, true}) {
      if (packed && version == 0) continue;
      PakContents contents;
      contents.version = version;
      contents.keyText = version >= 2 ? "seed" : "";
      contents.sizeKey = version >= 2 ? 0x1234u : 0;
      contents.entries.push_back({"data\\other.bin", std::vector<std::uint8_t>(40, 0x5C), packed});
      contents.entries.push_back({"data\\a.txt", std::vector<std::uint8_t>(text.begin(), text.end()), packed});
      const std::vector<std::uint8_t> pak = BuildPak(contents);
      const auto path = directory / ("v" + std::to_string(version) + (packed ? "_packed" : "_stored") + ".pak");
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(pak.data()), static_cast<std::streamsize>(pak.size()));
    }
  }
  return 0;
}
