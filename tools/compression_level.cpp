// zlib level detection. The stream header's FLEVEL bits narrow the levels to
// try: 0 for levels 0-1, 1 for 2-5, 2 for 6, 3 for 7-9.
#include "tools/compression_level.h"

#include <algorithm>

#include "archive/pak_writer.h"

namespace paktool {
namespace {

std::vector<int> Candidates(const std::string& stream) {
  if (stream.size() < 2) return {};
  switch (static_cast<unsigned char>(stream[1]) >> 6) {
    case 0:
      return {1, 0};
    case 1:
      return {5, 4, 3, 2};
    case 2:
      return {6};
    default:
      return {9, 8, 7};
  }
}

bool SameBytes(const std::vector<std::uint8_t>& made, const std::string& stream, std::size_t from) {
  return made.size() == from + stream.size() &&
         std::equal(stream.begin(), stream.end(), made.begin() + static_cast<std::ptrdiff_t>(from),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

}  // namespace

std::optional<int> DetectEntryLevel(std::uint32_t version, const std::string& name, const std::uint8_t* data,
                                    std::size_t size, std::uint32_t spare, const std::string& stream) {
  for (int level : Candidates(stream)) {
    PreparedPakEntry made =
        PreparePakEntry(version, name, std::vector<std::uint8_t>(data, data + size), true, spare, level);
    if (SameBytes(made.bytes, stream, 0)) return level;
  }
  return std::nullopt;
}

std::optional<int> DetectIndexLevel(const PakHeader& header, const std::vector<PakIndexEntry>& records,
                                    const std::string& packedIndex) {
  for (int level : Candidates(packedIndex)) {
    PakHeader copy = header;
    const std::vector<std::uint8_t> head = BuildPakHead(copy, records, level);
    if (SameBytes(head, packedIndex, PakHeaderSize(header.version))) return level;
  }
  return std::nullopt;
}

}  // namespace paktool
