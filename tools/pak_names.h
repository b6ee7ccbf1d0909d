// Entry names of paks: display as UTF-8, safe placement under a directory,
// and wildcard matching the way the game compares names.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace paktool {

// The name as UTF-8. A byte that is not part of a code page 932 character,
// and a control byte, becomes "%XX"; *escaped (optional) tells whether that
// happened. Nothing is ever dropped.
std::string NameToUtf8(const std::string& name, bool* escaped = nullptr);

// Upper-case hex of every byte, and back (false on odd length or a non-hex
// character).
std::string ToHex(const std::string& bytes);
bool FromHex(const std::string& hex, std::string& bytes);

// Where an entry lands below the extraction directory: UTF-8 components, or
// the reason it may not be written there (absolute, drive, "..", no name).
struct EntryPlacement {
  std::vector<std::string> components;
  std::string refusal;
};
// "\" and "/" separate components character-wise, so a trail byte 0x5C stays
// inside its character.
EntryPlacement PlaceEntry(const std::string& name);

// True when name matches pattern (both code page 932): "*" any run of
// characters ("\" included), "?" one character, everything else compared as
// the game compares names (case-insensitive, double-byte characters whole).
bool MatchPattern(const std::string& pattern, const std::string& name);

// Paths on disk from and to UTF-8 (wide calls on Windows).
std::filesystem::path Utf8Path(const std::string& utf8);
std::string PathToUtf8(const std::filesystem::path& path);

// Byte length of the code page 932 character at text[i] (1 or 2; 1 for a lead
// byte without a valid trail byte).
std::size_t CharLength(const std::string& text, std::size_t i);

}  // namespace paktool
