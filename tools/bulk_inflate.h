// Inflating a packed entry's zlib stream in one go, with the game's verdict.
#pragma once

#include <cstdint>
#include <optional>

namespace paktool {

// Inflates the zlib stream that starts at stream into out (capacity bytes).
// The count inflated, as the game's ReadPacked gives it: nullopt when the
// stream is damaged or does not end within packedLength bytes of input and
// capacity bytes of output. Bytes after the stream's end are ignored. out may
// be null when capacity is 0. The fast inflater accepts a few invalid codes
// that no encoder writes but the game's zlib refuses; exact takes zlib alone,
// for answers that must be the game's (verify).
std::optional<std::uint32_t> BulkInflate(const std::uint8_t* stream, std::uint32_t packedLength, std::uint8_t* out,
                                         std::uint32_t capacity, bool exact = false);

}  // namespace paktool
