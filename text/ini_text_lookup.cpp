// Lookup of one key of one section in INI-style text held in a TextString.
#include "text/ini_text_lookup.h"

#include "platform/platform.h"

namespace {

constexpr char kLineEnds[] = "\r\n";

// The section a header line names: the text after "[" up to the first "]";
// a line without "]" names the whole rest of the line.
void HeaderName(const TextString& line, TextString& name) {
  const char* close = platform::FindChar(line.data + 1, ']');
  line.ExtractRange(line.data + 1, close, name);
}

// Splits a key line (escapes already replaced) and copies its value into
// value when its key is key and the value is not empty.
bool TakeValue(const char* key, TextString& line, TextString& value) {
  line.cursor = line.data;
  char* keyStart = line.SkipChars("\t");
  if (keyStart == nullptr) return false;
  char* keyEnd = platform::FindFirstOfSet(keyStart, "\t=");
  if (keyEnd == nullptr || keyEnd == keyStart) return false;

  TextString lineKey;
  line.ExtractRange(keyStart, keyEnd, lineKey);
  if (lineKey.CompareNoCase(key) != 0) return false;

  line.cursor = keyEnd;
  const char* valueStart = line.SkipChars("\t =");
  if (valueStart == nullptr) return false;
  line.ExtractRange(valueStart, platform::FindFirstOfSet(valueStart, "\t"), value);
  return true;
}

}  // namespace

void IniTextLookup(const char* section, const char* key, TextString& value, TextString& text) {
  TextString line;
  TextString name;
  bool restarted = false;
  char* matchingHeader = nullptr;

  for (;;) {
    char* lineStart = text.NextToken(kLineEnds, line);
    if (lineStart == nullptr) {
      if (restarted) break;
      restarted = true;
      text.cursor = text.data;
      continue;
    }

    if (line.data[0] == '[') {
      HeaderName(line, name);
      if (name.CompareNoCase(section) == 0) {
        matchingHeader = lineStart;
        restarted = true;
        continue;
      }
      // The lines of another section are never read: go to the next "[",
      // wherever it stands, starting one character before it.
      const char* nextHeader = platform::FindChar(text.cursor, '[');
      if (nextHeader == nullptr) break;
      text.cursor = platform::CharPrevA(text.data, nextHeader);
      continue;
    }

    if (line.data[0] == '\'') {
      if (char* lineFeed = platform::FindChar(text.cursor, '\n')) text.cursor = lineFeed;
      continue;
    }

    line.ReplaceAll("\\n", "\n");
    line.ReplaceAll("\\t", "\t");
    if (TakeValue(key, line, value)) break;
  }

  if (matchingHeader != nullptr) text.cursor = matchingHeader;
}
