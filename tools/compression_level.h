// Finding the zlib level a pak's streams were made with, by making them again
// with the pak writer: what the manifest needs for a byte-identical rebuild.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/pak_format.h"

namespace paktool {

// The level for which the writer turns data (plain, as read) into exactly
// stream, or none.
std::optional<int> DetectEntryLevel(std::uint32_t version, const std::string& name, const std::uint8_t* data,
                                    std::size_t size, std::uint32_t spare, const std::string& stream);

// The level for which the writer packs records (offsets relative to the data
// area) into exactly packedIndex, or none.
std::optional<int> DetectIndexLevel(const PakHeader& header, const std::vector<PakIndexEntry>& records,
                                    const std::string& packedIndex);

}  // namespace paktool
