// Fuzz target: the input is the only pak of a scratch directory, and a name is
// opened and read from it through OCArchive as the launcher would.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "archive/oc_archive.h"
#include "errors/oc_exception.h"
#include "platform/seams.h"

namespace {

// The current directory for the whole run, removed when the process ends.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::random_device seed;
    do {
      path_ = std::filesystem::temp_directory_path() / ("oc_pak_fuzz_" + std::to_string(seed()));
    } while (!std::filesystem::create_directory(path_));
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
    OCArchive::quietReadFailures = true;
    platform::seams::SetMessageBoxHandler(
        [](platform::Window, const char*, const char*, unsigned) { return platform::IDIGNORE; });
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
  }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

void OpenAndRead(const char* name) {
  OCArchive archive;
  try {
    if (archive.Open(name, 0) == 0) return;
  } catch (const OCErrorException&) {
    return;  // an index or entry that does not inflate
  }
  TextString text;
  archive.ReadWhole(text);
  archive.Seek(1);
  std::uint8_t buffer[64];
  archive.Read(sizeof buffer, buffer);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static ScratchDirectory scratch;
  {
    std::ofstream pak("a.pak", std::ios::binary | std::ios::trunc);
    pak.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  OpenAndRead("data\\a.txt");
  OpenAndRead("");  // matches the first record
  return 0;
}
