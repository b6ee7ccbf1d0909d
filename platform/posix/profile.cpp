// GetPrivateProfileStringA over an INI file of code page 932 bytes.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/posix_support.h"

namespace platform {
namespace {

using posix::CharLength;

struct Entry {
  std::string key;
  std::string value;
};

struct Section {
  std::string name;
  std::vector<Entry> entries;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string Trim(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// Windows drops one pair of matching quotes around a value.
std::string Unquote(const std::string& value) {
  const std::size_t size = value.size();
  if (size >= 2 && (value[0] == '"' || value[0] == '\'') && value[size - 1] == value[0]) {
    return value.substr(1, size - 2);
  }
  return value;
}

// A name without a directory lives in the Windows directory.
std::string ProfilePath(const char* fileName) {
  for (const char* p = fileName; *p != '\0'; p += CharLength(p)) {
    if (*p == '\\' || *p == '/') return fileName;
  }
  const char* windowsDirectory = std::getenv("WINDIR");
  std::string directory = windowsDirectory != nullptr && *windowsDirectory != '\0' ? windowsDirectory : "/etc";
  // $WINDIR is a file-system path already; only the name is in code page 932.
  return Utf8ToAnsi(directory) + "\\" + fileName;
}

std::optional<std::vector<Section>> LoadProfile(const char* fileName) {
  const auto path = posix::ToSystemPath(ProfilePath(fileName).c_str());
  if (!path) return std::nullopt;
  std::ifstream stream(*path, std::ios::binary);
  if (!stream) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return std::nullopt;
  }
  std::vector<Section> sections;
  std::string line;
  while (std::getline(stream, line)) {
    const std::string trimmed = Trim(line);
    if (!trimmed.empty() && trimmed[0] == '[') {
      // The name runs to the last "]" of the line, found character-wise
      // since 0x5D is also a trail byte.
      const char* close = FindLastChar(trimmed.c_str(), ']');
      if (close == nullptr) continue;
      sections.push_back({std::string(trimmed.c_str() + 1, close), {}});
      continue;
    }
    const std::size_t equals = trimmed.find('=');
    if (sections.empty() || equals == std::string::npos) continue;
    sections.back().entries.push_back({Trim(trimmed.substr(0, equals)), Unquote(Trim(trimmed.substr(equals + 1)))});
  }
  return sections;
}

const Section* FindSection(const std::vector<Section>& sections, const char* name) {
  for (const Section& section : sections) {
    if (CompareNoCase(section.name.c_str(), name) == 0) return &section;
  }
  return nullptr;
}

const Entry* FindEntry(const Section& section, const char* key) {
  for (const Entry& entry : section.entries) {
    if (CompareNoCase(entry.key.c_str(), key) == 0) return &entry;
  }
  return nullptr;
}

// Copies text cut to size - 1 bytes, never leaving half a double-byte
// character at the end; the bytes copied, without the NUL.
DWORD CopyCut(const std::string& text, char* buffer, DWORD size) {
  std::size_t length = 0;
  for (const char* p = text.c_str(); *p != '\0'; p += CharLength(p)) {
    const std::size_t next = length + CharLength(p);
    if (next > size - 1) break;
    length = next;
  }
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<DWORD>(length);
}

// Names one after another, each with its NUL, and one more NUL at the end; a
// list that does not fit is cut, as Windows does, to size - 2 bytes.
DWORD CopyList(const std::vector<std::string>& names, char* buffer, DWORD size) {
  std::string list;
  for (const std::string& name : names) list.append(name).push_back('\0');
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  if (list.size() + 1 > size) {
    std::memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
  }
  std::memcpy(buffer, list.data(), list.size());
  buffer[list.size()] = '\0';
  return static_cast<DWORD>(list.size());
}

}  // namespace

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer, DWORD size,
                               const char* fileName) {
  if (buffer == nullptr || size == 0) return 0;
  // Windows drops the trailing blanks of the default.
  std::string fallback = defaultValue != nullptr ? defaultValue : "";
  while (!fallback.empty() && fallback.back() == ' ') fallback.pop_back();
  const auto sections = fileName != nullptr ? LoadProfile(fileName) : std::nullopt;
  if (!sections)
    return section != nullptr && key != nullptr ? CopyCut(fallback, buffer, size) : CopyList({}, buffer, size);
  if (section == nullptr) {
    std::vector<std::string> names;
    for (const Section& each : *sections) names.push_back(each.name);
    return CopyList(names, buffer, size);
  }
  const Section* found = FindSection(*sections, section);
  if (key == nullptr) {
    std::vector<std::string> keys;
    if (found != nullptr) {
      for (const Entry& entry : found->entries) keys.push_back(entry.key);
    }
    return CopyList(keys, buffer, size);
  }
  const Entry* entry = found != nullptr ? FindEntry(*found, key) : nullptr;
  return CopyCut(entry != nullptr ? entry->value : fallback, buffer, size);
}

}  // namespace platform
