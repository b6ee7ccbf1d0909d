// TextString: the system's growable narrow string (code page 932 bytes) with a
// parsing cursor. Capacity grows in steps of 64 bytes; every search and step
// over the text is multi-byte aware.
#pragma once

#include <cstdarg>
#include <cstdint>

class TextString {
 public:
  TextString() = default;
  TextString(const TextString& other);
  TextString& operator=(const TextString& other);  // Assign of the other's text
  virtual ~TextString();

  // Replaces the text by a copy of s (null: no storage). Cursor at the start.
  TextString& Assign(const char* s);
  // count bytes of p (-1: up to its NUL; 0: no storage); a null p gives the
  // empty text with room for count bytes.
  void AssignRange(const char* p, std::int32_t count);
  TextString& Append(const char* s);
  // count 0: nothing; -1: up to the NUL of p; else exactly count bytes.
  void AppendRange(const char* p, std::int32_t count);
  // Makes room for a text of n bytes; capacity becomes the smallest multiple of
  // 64 above n. Never shrinks.
  void Reserve(std::int32_t n);
  void Clear();
  // Removes count bytes at the cursor (0: to the end), after moving the cursor
  // to pos unless pos is -1. Returns the new cursor, or null when cleared.
  char* Erase(std::int32_t count, std::int32_t pos);
  // destination = the text between begin and end (null: start / end).
  void ExtractRange(const char* begin, const char* end, TextString& destination) const;
  // Replaces every occurrence of find (matched at character boundaries).
  // Throws OCException(0) in place of any failure while it builds the text.
  void ReplaceAll(const char* find, const char* replacement);
  // Moves the cursor past characters of set; null (cursor kept) if only
  // characters of set remain.
  char* SkipChars(const char* set);
  // Case-insensitive comparison of the text from the cursor with s; -1 when
  // the cursor is unset.
  std::int32_t CompareNoCase(const char* s) const;
  // Copies the next token (delimited by characters of delimiters) into
  // destination; returns its start here, or null when none is left.
  char* NextToken(const char* delimiters, TextString& destination);
  // The character at the cursor: byte, lead*256+trail, or 0.
  std::int32_t CurrentChar() const;

  // printf-style output. Format replaces the text; the Append forms add to it.
  // The buffer is grown once from an estimate of the output; output the
  // estimate missed grows it again, so the text is always complete and never
  // written past the buffer. Arguments must not point into this string.
  void Format(const char* format, ...);
  void AppendFormat(const char* format, ...);
  void AppendFormatV(const char* format, std::va_list arguments);

  char* data = nullptr;       // capacity + 1 bytes, NUL-terminated, or null
  std::int32_t capacity = 0;  // 0 or a multiple of 64
  std::int32_t length = 0;    // bytes before the NUL
  char* cursor = nullptr;     // data .. data + length, or null (unset)

 private:
  // The largest text a buffer can hold: its capacity, the next multiple of 64,
  // must still be a positive signed 32-bit number.
  static constexpr std::int64_t kLargestText = 0x7FFFFFFFLL - 64;

  // True when p lies in the text, its NUL included.
  bool Contains(const char* p) const;
  void Swap(TextString& other) noexcept;
  // Reserve for a text of n bytes that is about to be written; throws
  // std::bad_alloc where Reserve would leave the buffer too small.
  void Grow(std::int64_t n);
  // Appends count bytes of p; the buffer must already hold them.
  void CopyIn(const char* p, std::int32_t count);
};
