// printf-style output into a TextString: one size estimate, one growth, bounded writes.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "text/text_string.h"

namespace {

// Widths, precisions and the estimate saturate here, far above any buffer a
// string can have, so absurd formats cannot overflow the arithmetic.
constexpr std::int64_t kSaturated = std::int64_t{1} << 40;

enum class Size { kDefault, kChar, kShort, kLong, kLongLong, kInt64, kLongDouble, kIntMax, kSizeT, kPtrdiff };

struct ConversionFields {
  std::int64_t width = 0;
  std::int64_t precision = 0;
  Size size = Size::kDefault;
};

std::int64_t ReadNumber(const char*& p) {
  std::int64_t n = 0;
  for (; *p >= '0' && *p <= '9'; ++p) n = std::min(n * 10 + (*p - '0'), kSaturated);
  return n;
}

Size ReadSize(const char*& p) {
  if (std::strncmp(p, "I64", 3) == 0) {
    p += 3;
    return Size::kInt64;
  }
  switch (*p) {
    case 'h':
      ++p;
      if (*p != 'h') return Size::kShort;
      ++p;
      return Size::kChar;
    case 'l':
      ++p;
      if (*p != 'l') return Size::kLong;
      ++p;
      return Size::kLongLong;
    case 'L':
      ++p;
      return Size::kLongDouble;
    case 'j':
      ++p;
      return Size::kIntMax;
    case 'z':
      ++p;
      return Size::kSizeT;
    case 't':
      ++p;
      return Size::kPtrdiff;
    default:
      return Size::kDefault;
  }
}

// Takes an integer argument of the type the size prefix names, so the scan
// stays in step with the formatter.
void SkipInteger(Size size, std::va_list& arguments) {
  switch (size) {
    case Size::kLong:
      static_cast<void>(va_arg(arguments, long));
      break;
    case Size::kLongLong:
    case Size::kLongDouble:
      static_cast<void>(va_arg(arguments, long long));
      break;
    case Size::kInt64:
      static_cast<void>(va_arg(arguments, std::int64_t));
      break;
    case Size::kIntMax:
      static_cast<void>(va_arg(arguments, std::intmax_t));
      break;
    case Size::kSizeT:
      static_cast<void>(va_arg(arguments, std::size_t));
      break;
    case Size::kPtrdiff:
      static_cast<void>(va_arg(arguments, std::ptrdiff_t));
      break;
    default:
      static_cast<void>(va_arg(arguments, int));
      break;
  }
}

long double TakeFloating(Size size, std::va_list& arguments) {
  if (size == Size::kLongDouble) return va_arg(arguments, long double);
  return va_arg(arguments, double);
}

// A character or string item: cut to the precision, raised to the width.
std::int64_t ItemBytes(std::int64_t itemLength, const ConversionFields& fields) {
  if (fields.precision != 0) itemLength = std::min(itemLength, fields.precision);
  return std::max(itemLength, fields.width);
}

std::int64_t NarrowLength(const char* s, std::int64_t precision) {
  if (s == nullptr) return 6;  // "(null)"
  std::int64_t n = 0;
  // With a precision the text need not be terminated: read no further.
  while ((precision == 0 || n < precision) && s[n] != '\0') ++n;
  return std::max<std::int64_t>(n, 1);
}

std::int64_t WideLength(const wchar_t* s, std::int64_t precision) {
  if (s == nullptr) return 6;
  std::int64_t n = 0;
  while ((precision == 0 || n < precision) && s[n] != L'\0') ++n;
  return std::max<std::int64_t>(n, 1);
}

// "f" output is as long as the number's integer digits: measure it, on the
// stack, with six more decimals than asked for.
std::int64_t FixedBytes(long double value, const ConversionFields& fields) {
  const std::int64_t precision = fields.precision + 6;
  if (fields.width > INT_MAX || precision > INT_MAX) return fields.width + precision + 318;
  char scratch[512];
  const int n = std::snprintf(scratch, sizeof scratch, "%*.*Lf", static_cast<int>(fields.width),
                              static_cast<int>(precision), value);
  return n < 0 ? fields.width + precision + 318 : n;
}

// Estimates one conversion; p is just past its "%" and is left after it.
// nullopt when the format ends inside the conversion.
std::optional<std::int64_t> EstimateConversion(const char*& p, std::va_list& arguments) {
  ConversionFields fields;
  std::int64_t bytes = 0;
  for (;; ++p) {
    if (*p == '#') {
      bytes += 2;
    } else if (*p == '*') {
      fields.width = va_arg(arguments, int);
    } else if (*p != '-' && *p != '+' && *p != '0' && *p != ' ' && *p != '\'') {
      break;
    }
  }
  if (fields.width == 0) fields.width = ReadNumber(p);
  if (*p == '.') {
    ++p;
    if (*p == '*') {
      ++p;
      fields.precision = std::max(va_arg(arguments, int), 0);  // negative: as if none
    } else {
      fields.precision = ReadNumber(p);
    }
  }
  fields.size = ReadSize(p);
  const char conversion = *p;
  if (conversion == '\0') return std::nullopt;
  ++p;

  const bool wide = conversion == 'S' ? fields.size != Size::kShort : fields.size == Size::kLong;
  switch (conversion) {
    case 'c':
    case 'C':
      static_cast<void>(va_arg(arguments, int));
      return bytes + ItemBytes(2, fields);
    case 's':
    case 'S':
      if (wide) return bytes + ItemBytes(WideLength(va_arg(arguments, const wchar_t*), fields.precision), fields);
      return bytes + ItemBytes(NarrowLength(va_arg(arguments, const char*), fields.precision), fields);
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'X':
    case 'o':
      SkipInteger(fields.size, arguments);
      return bytes + std::max<std::int64_t>(32, fields.width + fields.precision);
    case 'e':
    case 'g':
    case 'G':
      static_cast<void>(TakeFloating(fields.size, arguments));
      return bytes + std::max<std::int64_t>(128, fields.width + fields.precision);
    case 'f':
      return bytes + FixedBytes(TakeFloating(fields.size, arguments), fields);
    case 'E':
    case 'F':
    case 'a':
    case 'A':
      // Not estimated; the argument is still taken to keep the scan in step.
      static_cast<void>(TakeFloating(fields.size, arguments));
      return bytes;
    case 'p':
      static_cast<void>(va_arg(arguments, void*));
      return bytes + std::max<std::int64_t>(32, fields.width + fields.precision);
    case 'n':
      static_cast<void>(va_arg(arguments, void*));
      return bytes;
    default:
      return bytes;
  }
}

struct Estimate {
  std::int64_t bytes = 0;
  const char* unfinished = nullptr;  // the "%" of a conversion the format ends in
};

Estimate EstimateFormat(const char* format, std::va_list& arguments) {
  Estimate estimate;
  std::int64_t bytes = 0;
  const char* p = format;
  while (*p != '\0') {
    if (*p != '%') {
      const char* next = platform::CharNextA(p);
      bytes += next - p;
      p = next;
    } else if (p[1] == '%') {
      bytes += 1;
      p += 2;
    } else {
      const char* percent = p++;
      const std::optional<std::int64_t> conversion = EstimateConversion(p, arguments);
      if (!conversion) {
        estimate.unfinished = percent;
        break;
      }
      bytes += *conversion;
    }
    bytes = std::min(bytes, kSaturated);
  }
  estimate.bytes = bytes;
  return estimate;
}

// vsnprintf into room bytes at at; the count the whole output needs, or
// negative when the formatter fails.
int PrintInto(char* at, std::int64_t room, const char* format, std::va_list arguments) {
  std::va_list copy;
  va_copy(copy, arguments);
  const int n = std::vsnprintf(at, static_cast<std::size_t>(room), format, copy);
  va_end(copy);
  return n;
}

// Ends a started argument list on every path, a throwing one included.
struct ArgumentsEnd {
  std::va_list& list;
  ~ArgumentsEnd() { va_end(list); }
};

}  // namespace

void TextString::Format(const char* format, ...) {
  Clear();
  std::va_list arguments;
  va_start(arguments, format);
  const ArgumentsEnd end{arguments};
  AppendFormatV(format, arguments);
}

void TextString::AppendFormat(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  const ArgumentsEnd end{arguments};
  AppendFormatV(format, arguments);
}

void TextString::AppendFormatV(const char* format, std::va_list arguments) {
  std::va_list scan;
  va_copy(scan, arguments);
  const Estimate estimate = EstimateFormat(format, scan);
  va_end(scan);
  // A conversion cut off by the end of the format is no conversion; it is
  // dropped rather than handed to a formatter that may read past the end.
  std::string complete;
  if (estimate.unfinished != nullptr) {
    complete.assign(format, estimate.unfinished);
    format = complete.c_str();
  }

  // An estimate no text can hold (a width of gigabytes) appends nothing, as a
  // failed formatter does; the platform's formatter is not asked, since some
  // runtimes overflow their stack on such widths. The string keeps storage.
  const std::int64_t wanted = length + estimate.bytes;
  if (wanted > kLargestText) {
    Reserve(length);
    data[length] = '\0';
    return;
  }
  Reserve(static_cast<std::int32_t>(wanted));

  int written = PrintInto(data + length, capacity - length + 1, format, arguments);
  if (written >= 0 && written > capacity - length) {
    // The estimate fell short (a conversion it does not know, a negative
    // width, a wide text that takes more bytes than characters).
    data[length] = '\0';
    Grow(length + static_cast<std::int64_t>(written));
    written = PrintInto(data + length, capacity - length + 1, format, arguments);
  }
  if (written < 0) {
    data[length] = '\0';  // the formatter failed: nothing is appended
    return;
  }
  length += static_cast<std::int32_t>(std::strlen(data + length));
}
