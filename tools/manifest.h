// The manifest that extract writes and create --manifest reads: everything
// that decides a pak's bytes, so that a pak made by this tool is rebuilt
// byte for byte.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace paktool {

// File name of the manifest in the extraction directory, unless --manifest.
inline constexpr const char* kDefaultManifestName = ".pak-manifest.json";

class ManifestError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ManifestEntry {
  std::string name;                 // code page 932 bytes, as stored in the index
  std::optional<std::string> path;  // UTF-8, "/"-separated, below the root; none when not extracted
  bool packed = false;
  std::uint32_t spare = 0;
  std::optional<int> level;  // zlib level of a packed entry, when known
};

struct Manifest {
  std::uint32_t version = 0;
  std::string keyText;  // the header's key text bytes, trailing zeros dropped
  std::uint32_t sizeKey = 0;
  std::optional<int> indexLevel;  // zlib level of the index (versions 1-4), when known
  std::string root = ".";         // the files' directory, relative to the manifest's
  std::vector<ManifestEntry> entries;
};

std::string ManifestToText(const Manifest& manifest);
// Throws ManifestError naming what is wrong.
Manifest ManifestFromText(const std::string& text);

}  // namespace paktool
