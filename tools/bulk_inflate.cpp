// One-shot inflate of a packed entry: libdeflate where the build has it, else
// a single zlib call over the whole stream.
#include "tools/bulk_inflate.h"

#include <zlib.h>

#include <memory>

namespace paktool {
namespace {

std::optional<std::uint32_t> ZlibInflate(const std::uint8_t* stream, std::uint32_t packedLength, std::uint8_t* out,
                                         std::uint32_t capacity) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return std::nullopt;
  z.next_in = const_cast<Bytef*>(stream);
  z.avail_in = packedLength;
  z.next_out = out;
  z.avail_out = capacity;
  const int result = inflate(&z, Z_FINISH);
  const auto total = static_cast<std::uint32_t>(z.total_out);
  inflateEnd(&z);
  if (result != Z_STREAM_END) return std::nullopt;
  return total;
}

}  // namespace
}  // namespace paktool

#if PAK_WITH_LIBDEFLATE
#include <libdeflate.h>

namespace paktool {
namespace {

struct DecompressorFree {
  void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

std::optional<std::uint32_t> FastInflate(const std::uint8_t* stream, std::uint32_t packedLength, std::uint8_t* out,
                                         std::uint32_t capacity) {
  const std::unique_ptr<libdeflate_decompressor, DecompressorFree> decompressor(libdeflate_alloc_decompressor());
  if (decompressor) {
    std::size_t consumed = 0;
    std::size_t produced = 0;
    // Asking for both counts lets the stream end early in either buffer.
    if (libdeflate_zlib_decompress_ex(decompressor.get(), stream, packedLength, out, capacity, &consumed, &produced) ==
        LIBDEFLATE_SUCCESS) {
      return static_cast<std::uint32_t>(produced);
    }
  }
  // Refusals are rare; zlib, the game's own inflater, has the last word.
  return ZlibInflate(stream, packedLength, out, capacity);
}

}  // namespace
}  // namespace paktool
#else
namespace paktool {
namespace {

std::optional<std::uint32_t> FastInflate(const std::uint8_t* stream, std::uint32_t packedLength, std::uint8_t* out,
                                         std::uint32_t capacity) {
  return ZlibInflate(stream, packedLength, out, capacity);
}

}  // namespace
}  // namespace paktool
#endif

namespace paktool {

std::optional<std::uint32_t> BulkInflate(const std::uint8_t* stream, std::uint32_t packedLength, std::uint8_t* out,
                                         std::uint32_t capacity, bool exact) {
  // zlib refuses a null output buffer even when nothing is to be written.
  std::uint8_t none = 0;
  std::uint8_t* const target = capacity == 0 ? &none : out;
  return exact ? ZlibInflate(stream, packedLength, target, capacity)
               : FastInflate(stream, packedLength, target, capacity);
}

}  // namespace paktool
