// Entry names of paks: UTF-8 display, placement under a directory, wildcards.
#include "tools/pak_names.h"

#include "platform/platform.h"

namespace paktool {
namespace {

bool IsControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

void AppendEscaped(std::string& out, unsigned char byte) {
  static const char kDigits[] = "0123456789ABCDEF";
  out += '%';
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0x0F];
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool CharsEqualNoCase(const std::string& a, std::size_t ai, std::size_t alen, const std::string& b, std::size_t bi,
                      std::size_t blen) {
  return alen == blen && platform::CompareNoCaseBytes(a.data() + ai, b.data() + bi, alen) == 0;
}

}  // namespace

std::size_t CharLength(const std::string& text, std::size_t i) {
  if (i + 1 < text.size() && platform::IsDBCSLeadByte(static_cast<unsigned char>(text[i])) &&
      platform::IsTrailByte(static_cast<unsigned char>(text[i + 1]))) {
    return 2;
  }
  return 1;
}

std::string NameToUtf8(const std::string& name, bool* escaped) {
  bool anyControl = false;
  for (unsigned char byte : name) anyControl = anyControl || IsControl(byte);
  bool ok = false;
  if (!anyControl) {
    std::string whole = platform::AnsiToUtf8(name, &ok);
    if (ok) {
      if (escaped) *escaped = false;
      return whole;
    }
  }
  std::string out;
  for (std::size_t i = 0; i < name.size();) {
    std::size_t length = CharLength(name, i);
    std::string character = name.substr(i, length);
    std::string converted;
    if (length == 1 && static_cast<unsigned char>(character[0]) < 0x80) {
      ok = !IsControl(static_cast<unsigned char>(character[0]));
      converted = character;
    } else {
      converted = platform::AnsiToUtf8(character, &ok);
    }
    if (ok) {
      out += converted;
    } else {
      for (unsigned char byte : character) AppendEscaped(out, byte);
    }
    i += length;
  }
  if (escaped) *escaped = true;
  return out;
}

std::string ToHex(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char byte : bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
  }
  return out;
}

bool FromHex(const std::string& hex, std::string& bytes) {
  if (hex.size() % 2 != 0) return false;
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    int high = digit(hex[i]);
    int low = digit(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
  }
  bytes = std::move(out);
  return true;
}

EntryPlacement PlaceEntry(const std::string& name) {
  EntryPlacement placement;
  if (name.empty()) {
    placement.refusal = "the name is empty";
    return placement;
  }
  if (IsSeparator(name[0])) {
    placement.refusal = "the name is absolute";
    return placement;
  }
  std::vector<std::string> raw(1);
  for (std::size_t i = 0; i < name.size();) {
    std::size_t length = CharLength(name, i);
    if (length == 1 && IsSeparator(name[i])) {
      raw.emplace_back();
    } else {
      raw.back().append(name, i, length);
    }
    i += length;
  }
  if (raw.back().empty()) {
    placement.refusal = "the name ends in a separator, so it names no file";
    return placement;
  }
  for (const std::string& component : raw) {
    // ':' cannot be a trail byte, so a byte search is exact here.
    if (component.find(':') != std::string::npos) {
      placement.refusal = "the name holds a drive letter or ':'";
      return placement;
    }
    if (component == "..") {
      placement.refusal = "the name climbs out of the directory with '..'";
      return placement;
    }
  }
  for (const std::string& component : raw) {
    if (!component.empty() && component != ".") placement.components.push_back(NameToUtf8(component));
  }
  return placement;
}

bool MatchPattern(const std::string& pattern, const std::string& name) {
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t starP = std::string::npos;
  std::size_t starN = 0;
  while (n < name.size()) {
    std::size_t nLength = CharLength(name, n);
    if (p < pattern.size()) {
      std::size_t pLength = CharLength(pattern, p);
      if (pLength == 1 && pattern[p] == '*') {
        starP = ++p;
        starN = n;
        continue;
      }
      if ((pLength == 1 && pattern[p] == '?') || CharsEqualNoCase(pattern, p, pLength, name, n, nLength)) {
        p += pLength;
        n += nLength;
        continue;
      }
    }
    if (starP == std::string::npos) return false;
    // Let the last "*" swallow one more character of the name.
    starN += CharLength(name, starN);
    n = starN;
    p = starP;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::filesystem::path Utf8Path(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToUtf8(const std::filesystem::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace paktool
