// Reading an open archive: Read, Seek, Size, the zlib inflater and the two
// readers that fill a TextString.
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "archive/oc_archive.h"
#include "archive/pak_format.h"
#include "encryption/cipher_registry.h"
#include "errors/oc_exception.h"

namespace {

// TextString::Reserve works in signed 32 bits and rounds up to the next 64:
// from here on it cannot make room.
constexpr std::uint32_t kLargestText = 0x80000000u - 64u;

[[noreturn]] void ThrowDecompressionError() { throw OCErrorException("データ解凍に失敗しました。"); }

// Owns an initialised inflate state and ends it on every path.
class InflateState {
 public:
  explicit InflateState(z_stream& stream) : stream_(stream) {
    if (inflateInit(&stream_) != Z_OK) ThrowDecompressionError();
  }
  InflateState(const InflateState&) = delete;
  InflateState& operator=(const InflateState&) = delete;
  ~InflateState() { inflateEnd(&stream_); }

 private:
  z_stream& stream_;
};

// Puts a NUL after count bytes of text's buffer and measures the text.
void TerminateText(TextString& text, std::uint32_t count) {
  text.data[count] = '\0';
  text.length = static_cast<std::int32_t>(std::strlen(text.data));
  text.cursor = text.data;
}

}  // namespace

std::uint32_t OCArchive::Read(std::uint32_t count, void* buffer) {
  if (inMemory != 0) {
    // Never beyond the block: a corrupt count gets what the block still holds.
    const std::uint64_t left = BytesLeft();
    const std::uint32_t n = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, left));
    if (n != 0) std::memcpy(buffer, memoryCursor, n);
    memoryCursor += n;
    position += n;
    return n;
  }
  if (!file) return 0;
  const std::uint32_t n = static_cast<std::uint32_t>(std::fread(buffer, 1, count, file.get()));
  if (inPak != 0 && entryPacked == 0) {
    DecryptChunk(entry->header.version, static_cast<std::uint8_t*>(buffer), static_cast<std::int32_t>(position),
                 static_cast<std::int32_t>(n), entry->name.data);
  }
  position += n;
  return n;
}

void OCArchive::Seek(std::int32_t offset) {
  if (inMemory != 0) {
    position = offset;
    // The cursor stays inside the block; a position outside it reads nothing.
    const std::int64_t inside = std::clamp<std::int64_t>(offset, 0, memorySize);
    memoryCursor = memoryBase + inside;
    return;
  }
  if (!file) return;
  if (baseOffset != 0) {
    position = offset;
    const auto sum = static_cast<std::uint32_t>(baseOffset) + static_cast<std::uint32_t>(offset);
    std::fseek(file.get(), static_cast<std::int32_t>(sum), SEEK_SET);
    return;
  }
  std::fseek(file.get(), offset, SEEK_SET);
  position = static_cast<std::int32_t>(std::ftell(file.get()));
}

std::uint32_t OCArchive::Size() {
  if (inMemory != 0) return memorySize;
  if (inPak != 0) return entry->size;
  if (!file) return 0;
  std::FILE* stream = file.get();
  const long current = std::ftell(stream);
  std::fseek(stream, 0, SEEK_END);
  const long size = std::ftell(stream);
  std::fseek(stream, current, SEEK_SET);
  position = static_cast<std::int32_t>(std::ftell(stream));
  return static_cast<std::uint32_t>(size);
}

std::uint64_t OCArchive::BytesLeft() {
  if (inMemory != 0) {
    if (position < 0 || position >= memorySize) return 0;
    return memorySize - static_cast<std::uint64_t>(position);
  }
  if (!file) return 0;
  std::FILE* stream = file.get();
  const long current = std::ftell(stream);
  std::fseek(stream, 0, SEEK_END);
  const long end = std::ftell(stream);
  std::fseek(stream, current, SEEK_SET);
  if (current < 0 || end < current) return 0;
  return static_cast<std::uint64_t>(end - current);
}

void OCArchive::SkipToEnd() {
  if (inMemory != 0) {
    position = memorySize;
    memoryCursor = memoryBase + memorySize;
    return;
  }
  if (!file) return;
  position += static_cast<std::int64_t>(BytesLeft());
  std::fseek(file.get(), 0, SEEK_END);
}

void OCArchive::OpenMemory(const void* block, std::uint32_t size) {
  Close();
  inMemory = 1;
  memoryBase = static_cast<std::uint8_t*>(const_cast<void*>(block));
  memoryCursor = memoryBase;
  ownsMemory = 0;
  memorySize = size;
}

std::uint32_t OCArchive::ReadPacked(std::uint32_t packedLength, void* block, std::uint32_t capacity) {
  std::uint8_t input[4096];
  z_stream stream{};
  // Only the bytes a read really delivered reach the inflater: a pak that
  // ends early ends the input, and the inflate then fails for want of it.
  stream.next_in = input;
  stream.avail_in = Read(std::min<std::uint32_t>(packedLength, sizeof input), input);
  stream.next_out = static_cast<Bytef*>(block);
  stream.avail_out = capacity;
  InflateState state(stream);

  int result = Z_OK;
  if (packedLength != 0) {
    for (;;) {
      result = inflate(&stream, Z_NO_FLUSH);
      if (result == Z_STREAM_END) break;
      if (result != Z_OK) ThrowDecompressionError();
      if (stream.avail_in == 0) {
        const std::uint32_t left = packedLength - static_cast<std::uint32_t>(stream.total_in);
        stream.next_in = input;
        stream.avail_in = Read(std::min<std::uint32_t>(left, sizeof input), input);
      }
    }
  }
  do {
    result = inflate(&stream, Z_FINISH);
  } while (result == Z_OK);
  if (result != Z_STREAM_END) ThrowDecompressionError();
  return static_cast<std::uint32_t>(stream.total_out);
}

void OCArchive::ReadWhole(TextString& text) {
  text.Clear();
  const std::uint32_t size = Size();
  if (size >= kLargestText) return;
  text.Reserve(static_cast<std::int32_t>(size));
  if (text.data == nullptr) return;
  // The NUL goes after what really came, so a short read leaves no stale
  // bytes in the text.
  TerminateText(text, Read(size, text.data));
}

bool OCArchive::ReadLengthPrefixed(TextString& text) {
  text.Clear();
  std::uint8_t raw[4] = {};
  const std::uint32_t got = Read(sizeof raw, raw);
  const std::uint32_t count = static_cast<std::uint32_t>(raw[0]) | static_cast<std::uint32_t>(raw[1]) << 8 |
                              static_cast<std::uint32_t>(raw[2]) << 16 | static_cast<std::uint32_t>(raw[3]) << 24;
  if (got != sizeof raw) return false;
  if (count == 0) return true;
  // The count is checked against the bytes really there before anything is
  // allocated for it.
  if (count >= kLargestText || count > BytesLeft()) {
    SkipToEnd();
    return false;
  }
  text.Reserve(static_cast<std::int32_t>(count));
  TerminateText(text, Read(count, text.data));
  return true;
}
