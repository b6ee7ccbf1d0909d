// TextString: buffer management, editing and the cursor-driven parsing operations.
#include "text/text_string.h"

#include <cstring>
#include <functional>
#include <new>
#include <utility>

#include "errors/oc_exception.h"
#include "platform/platform.h"

namespace {

bool Before(const char* a, const char* b) { return std::less<const char*>{}(a, b); }

// Bytes of p up to its NUL, reading at most limit bytes.
std::int32_t BoundedLength(const char* p, std::int32_t limit) {
  std::int32_t n = 0;
  while (n < limit && p[n] != '\0') ++n;
  return n;
}

std::int64_t TextLength(const char* s) { return static_cast<std::int64_t>(std::strlen(s)); }

}  // namespace

TextString::TextString(const TextString& other) {
  if (other.data == nullptr) return;
  Reserve(other.length);
  std::memcpy(data, other.data, static_cast<std::size_t>(other.length) + 1);
  length = other.length;
  cursor = data;
}

TextString& TextString::operator=(const TextString& other) { return Assign(other.data); }

TextString::~TextString() { delete[] data; }

bool TextString::Contains(const char* p) const {
  return data != nullptr && p != nullptr && !Before(p, data) && !Before(data + length, p);
}

void TextString::Swap(TextString& other) noexcept {
  std::swap(data, other.data);
  std::swap(capacity, other.capacity);
  std::swap(length, other.length);
  std::swap(cursor, other.cursor);
}

void TextString::Grow(std::int64_t n) {
  // Reserve ignores requirements it cannot express; callers that are about to
  // write n bytes must not be left with a smaller buffer.
  if (n > kLargestText) throw std::bad_alloc();
  Reserve(static_cast<std::int32_t>(n));
}

void TextString::CopyIn(const char* p, std::int32_t count) {
  std::memcpy(data + length, p, static_cast<std::size_t>(count));
  length += count;
  data[length] = '\0';
}

TextString& TextString::Assign(const char* s) {
  if (s == data) return *this;
  if (Contains(s)) {
    TextString copy;
    copy.Assign(s);
    return Assign(copy.data);
  }
  Clear();
  if (s == nullptr) return *this;
  const std::int64_t n = TextLength(s);
  Grow(n);
  CopyIn(s, static_cast<std::int32_t>(n));
  cursor = data;
  return *this;
}

void TextString::AssignRange(const char* p, std::int32_t count) {
  if (p != nullptr && p == data) return;
  if (p == nullptr && data == nullptr && count < 0) return;
  if (Contains(p)) {
    TextString copy;
    copy.AssignRange(p, count);
    Swap(copy);
    return;
  }
  Clear();
  if (p == nullptr) {
    if (count < 0) return;
    Reserve(count);
    return;
  }
  if (count == 0) return;
  const std::int64_t n = count < 0 ? TextLength(p) : BoundedLength(p, count);
  Grow(n);
  CopyIn(p, static_cast<std::int32_t>(n));
  cursor = data;
}

TextString& TextString::Append(const char* s) {
  if (s != nullptr) AppendRange(s, -1);
  cursor = data;
  return *this;
}

void TextString::AppendRange(const char* p, std::int32_t count) {
  if (count == 0) return;
  const std::int64_t n = count < 0 ? TextLength(p) : BoundedLength(p, count);
  // p may lie in this buffer, which growing releases.
  const std::int64_t offset = Contains(p) ? p - data : -1;
  Grow(length + n);
  if (offset >= 0) p = data + offset;
  CopyIn(p, static_cast<std::int32_t>(n));
  cursor = data;
}

void TextString::Reserve(std::int32_t n) {
  if (n > kLargestText) return;
  const std::int32_t newCapacity = (n & ~63) + 64;
  if (newCapacity <= capacity) return;

  char* newData = new char[static_cast<std::size_t>(newCapacity) + 1];
  char* newCursor = nullptr;
  if (data == nullptr) {
    newData[0] = '\0';
    newCursor = newData;
  } else {
    std::memcpy(newData, data, static_cast<std::size_t>(length) + 1);
    if (Contains(cursor)) newCursor = newData + (cursor - data);
  }
  delete[] data;
  data = newData;
  capacity = newCapacity;
  cursor = newCursor;
}

void TextString::Clear() {
  delete[] data;
  data = nullptr;
  capacity = 0;
  length = 0;
  cursor = nullptr;
}

char* TextString::Erase(std::int32_t count, std::int32_t pos) {
  if (count > length) {
    Clear();
    return nullptr;
  }
  if (count < 0) count = 0;
  if (pos >= 0 && pos <= length && data != nullptr) cursor = data + pos;
  // Without a cursor there is no place to erase at.
  if (cursor == nullptr) return nullptr;
  TextString working;
  working.Reserve(capacity);

  const std::int32_t offset = static_cast<std::int32_t>(cursor - data);
  working.AppendRange(data, offset);
  if (count != 0 && offset + count <= length) working.AppendRange(cursor + count, -1);
  Assign(working.data);
  if (data != nullptr) cursor = data + (offset <= length ? offset : 0);
  return cursor;
}

void TextString::ExtractRange(const char* begin, const char* end, TextString& destination) const {
  if (begin == nullptr) begin = data;
  if (end == nullptr) end = data + length;
  if (Before(end, begin)) std::swap(begin, end);
  const bool inside = (data == nullptr) ? begin == nullptr && end == nullptr : Contains(begin) && Contains(end);
  if (!inside) return;
  const auto count = static_cast<std::int32_t>(end - begin);
  if (&destination == this) {
    TextString piece;
    piece.AssignRange(begin, count);
    destination.Swap(piece);
    return;
  }
  destination.Clear();
  destination.AssignRange(begin, count);
}

void TextString::ReplaceAll(const char* find, const char* replacement) {
  cursor = data;
  if (data == nullptr || find == nullptr || *find == '\0') return;
  const std::size_t findLength = std::strlen(find);
  TextString result;
  try {
    TextString working;
    working.Reserve(capacity);
    const char* rest = data;
    bool found = false;
    for (const char* match = platform::FindText(rest, find); match != nullptr; match = platform::FindText(rest, find)) {
      working.AppendRange(rest, static_cast<std::int32_t>(match - rest));
      if (replacement != nullptr) working.Append(replacement);
      rest = match + findLength;
      found = true;
    }
    if (!found) return;
    working.AppendRange(rest, -1);
    // A fresh copy sized by the new length; built before the old text goes,
    // so a failure leaves the text as it was.
    result.Assign(working.data);
  } catch (...) {
    throw OCException(0);
  }
  Swap(result);
  cursor = data;
}

char* TextString::SkipChars(const char* set) {
  if (cursor == nullptr) return nullptr;
  char* next = cursor + platform::SpanOfSet(cursor, set);
  if (*next == '\0') return nullptr;
  cursor = next;
  return cursor;
}

std::int32_t TextString::CompareNoCase(const char* s) const {
  if (cursor == nullptr) return -1;
  return platform::CompareNoCase(cursor, s);
}

char* TextString::NextToken(const char* delimiters, TextString& destination) {
  if (cursor == nullptr) return nullptr;
  char* start = cursor + platform::SpanOfSet(cursor, delimiters);
  if (*start == '\0') return nullptr;
  char* end = platform::FindFirstOfSet(start, delimiters);
  if (end == nullptr) end = start + std::strlen(start);
  cursor = end;

  const auto count = static_cast<std::int32_t>(end - start);
  TextString own;
  TextString& target = (&destination == this) ? own : destination;
  target.Clear();
  target.Grow(static_cast<std::int64_t>(count) + 1);
  target.CopyIn(start, count);
  target.cursor = target.data;
  if (&target != &destination) {
    destination.Swap(target);
    return destination.data;
  }
  return start;
}

std::int32_t TextString::CurrentChar() const {
  if (cursor == nullptr) return 0;
  const auto lead = static_cast<unsigned char>(cursor[0]);
  if (!platform::IsDBCSLeadByte(lead)) return lead;
  const auto trail = static_cast<unsigned char>(cursor[1]);
  if (trail == 0 || !platform::IsTrailByte(trail)) return 0;
  return lead * 256 + trail;
}
