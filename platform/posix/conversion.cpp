// Conversions between code page 932 and UTF-8 through iconv.
#include <iconv.h>

#include <cerrno>
#include <string>

#include "platform/platform.h"
#include "platform/posix/posix_support.h"

namespace platform {
namespace {

// glibc's "SHIFT_JIS" maps 0x5C to the yen sign; "CP932" keeps the backslash
// and knows the vendor extensions Windows has.
constexpr const char* kAnsiName = "CP932";

// An iconv descriptor closed when its owner goes.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() {
    if (Valid()) iconv_close(cd_);
  }
  bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Bytes of the unconvertible input character at p (at most left).
std::size_t AnsiCharBytes(const char* p, std::size_t left) {
  const bool pair = left >= 2 && IsDBCSLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0';
  return pair ? 2 : 1;
}

std::size_t Utf8CharBytes(const char* p, std::size_t left) {
  const auto lead = static_cast<unsigned char>(*p);
  std::size_t length = 1;
  if (lead >= 0xF0) {
    length = 4;
  } else if (lead >= 0xE0) {
    length = 3;
  } else if (lead >= 0xC0) {
    length = 2;
  }
  // Stop early at a byte that cannot continue the sequence.
  std::size_t taken = 1;
  while (taken < length && taken < left && (static_cast<unsigned char>(p[taken]) & 0xC0) == 0x80) ++taken;
  return taken;
}

// Converts text, putting "?" for each character the converter refuses.
std::string Convert(const Converter& converter, const std::string& text, bool* ok,
                    std::size_t (*badCharBytes)(const char*, std::size_t)) {
  bool allConverted = true;
  std::string result;
  if (!converter.Valid()) {
    if (ok != nullptr) *ok = false;
    return result;
  }
  // A descriptor is reused: start each text from the initial state.
  iconv(converter.Get(), nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char chunk[256];
  while (inLeft > 0) {
    char* out = chunk;
    std::size_t outLeft = sizeof chunk;
    const std::size_t status = iconv(converter.Get(), &in, &inLeft, &out, &outLeft);
    const int error = errno;
    result.append(chunk, static_cast<std::size_t>(out - chunk));
    if (status != static_cast<std::size_t>(-1) || error == E2BIG) continue;
    // EILSEQ or EINVAL: a character without a counterpart, or cut short.
    allConverted = false;
    result.push_back('?');
    const std::size_t skip = badCharBytes(in, inLeft);
    in += skip;
    inLeft -= skip;
  }
  if (ok != nullptr) *ok = allConverted;
  return result;
}

}  // namespace

// One descriptor per direction and thread: opening one loads the converter's
// tables each time, and a descriptor must not be shared between threads.
std::string AnsiToUtf8(const std::string& ansi, bool* ok) {
  thread_local const Converter converter("UTF-8", kAnsiName);
  return Convert(converter, ansi, ok, AnsiCharBytes);
}

std::string Utf8ToAnsi(const std::string& utf8, bool* ok) {
  thread_local const Converter converter(kAnsiName, "UTF-8");
  return Convert(converter, utf8, ok, Utf8CharBytes);
}

}  // namespace platform
