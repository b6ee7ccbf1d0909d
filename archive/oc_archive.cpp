// OCArchive's life: construction, Open (disk, wildcard, paks, the file-error
// dialog), Close and the creation of missing directories.
#include "archive/oc_archive.h"

#include <cstdlib>

#include "archive/file_listing.h"
#include "archive/pak_format.h"
#include "archive/pak_search.h"
#include "errors/oc_exception.h"

bool OCArchive::quietReadFailures = false;
platform::Window OCArchive::dialogOwner = nullptr;
std::vector<TextString> OCArchive::extraPakDirectories;

namespace {

// GetFileAttributesA's answer for "not there" in Open's own test: 0 counts as
// missing as well.
bool IsOnDisk(const char* path) {
  const platform::DWORD attributes = platform::GetFileAttributesA(path);
  return attributes != platform::INVALID_FILE_ATTRIBUTES && attributes != 0;
}

// Answer of the file-error dialog for path.
int AskAboutMissingFile(const char* path) {
  TextString text;
  text.Format("ファイル %s が開けません。", path);
  return platform::MessageBoxA(OCArchive::dialogOwner, text.data, "ファイルエラー",
                               platform::MB_ABORTRETRYIGNORE | platform::MB_TOPMOST);
}

}  // namespace

void OCArchive::FileCloser::operator()(std::FILE* stream) const {
  std::fflush(stream);
  std::fclose(stream);
}

OCArchive::OCArchive() : entry(std::make_unique<PakIndexEntry>()) {}

OCArchive::~OCArchive() {
  entry.reset();
  Close();
}

std::int32_t OCArchive::Open(const char* path, std::int32_t flags) {
  Close();
  // A copy: the pak search re-enters Open and replaces this archive's
  // strings, which a caller may have passed in.
  TextString callerPath;
  callerPath.Assign(path != nullptr ? path : "");
  const std::int32_t mode = flags & 3;
  const bool writing = mode == ModeWrite || mode == ModeAppend;
  const char* modeText = mode == ModeWrite ? "w+b" : mode == ModeAppend ? "a+b" : "rb";
  inMemory = 0;

  TextString normalised = callerPath;
  normalised.ReplaceAll("/", "\\");
  for (;;) {
    requestName = normalised;
    Resolve(callerPath.data, modeText, writing, flags);
    if (file || (quietReadFailures && !writing)) break;
    const int answer = AskAboutMissingFile(callerPath.data);
    if (answer == platform::IDABORT) {
      TextString message;
      message.Format("ファイル %s が開けませんでした。", callerPath.data);
      throw OCErrorException(message.data);
    }
    if (answer != platform::IDRETRY) break;
  }
  position = 0;
  return file ? 1 : 0;
}

void OCArchive::Resolve(const char* path, const char* mode, bool writing, std::int32_t flags) {
  char* star = requestName.data != nullptr ? platform::FindChar(requestName.data, '*') : nullptr;
  if (star != nullptr) {
    requestName.cursor = star;
    if (OpenWildcardMatch(mode)) return;
    requestName.Erase(0, -1);
    const TextString prefix = requestName;
    SearchPaks(prefix.data != nullptr ? prefix.data : "", flags);
    return;
  }
  if (IsOnDisk(path) || writing) {
    OpenOnDisk(path, mode);
    return;
  }
  const TextString name = requestName;
  SearchPaks(name.data, flags);
}

bool OCArchive::OpenWildcardMatch(const char* mode) {
  bool matched = false;
  archive_detail::ForEachFile(requestName.data, [&](const platform::FindData& found) {
    // A pattern without a directory lists the current directory, so the
    // match is opened there by its bare name.
    const char* lastSeparator = platform::FindLastChar(requestName.data, '\\');
    TextString resolved;
    if (lastSeparator != nullptr) {
      resolved.AssignRange(requestName.data, static_cast<std::int32_t>(lastSeparator - requestName.data));
      resolved.AppendFormat("\\%s", found.fileName);
    } else {
      resolved.Assign(found.fileName);
    }
    requestName = resolved;
    openedName = requestName;
    file.reset(platform::OpenFile(requestName.data, mode));
    BufferStream();
    inPak = 0;
    baseOffset = 0;
    entryPacked = 0;
    matched = true;
    return false;
  });
  return matched;
}

void OCArchive::OpenOnDisk(const char* path, const char* mode) {
  const char* lastSeparator = platform::FindLastChar(path, '\\');
  if (lastSeparator != nullptr) {
    TextString dir;
    dir.AssignRange(path, static_cast<std::int32_t>(lastSeparator - path));
    const char* dirText = dir.data != nullptr ? dir.data : "";
    if (!IsOnDisk(dirText)) CreateDirectoryChain(dirText);
  }
  openedName.Assign(path);
  file.reset(platform::OpenFile(path, mode));
  BufferStream();
  inPak = 0;
  baseOffset = 0;
  entryPacked = 0;
}

void OCArchive::BufferStream() {
  if (!file) return;
  constexpr std::size_t kStreamBufferSize = 65536;
  if (!streamBuffer) streamBuffer = std::make_unique_for_overwrite<char[]>(kStreamBufferSize);
  std::setvbuf(file.get(), streamBuffer.get(), _IOFBF, kStreamBufferSize);
}

void OCArchive::SearchPaks(const char* name, std::int32_t flags) {
  if ((flags & FlagDiskOnly) != 0) return;
  char current[512] = {};
  const platform::DWORD length = platform::GetCurrentDirectoryA(sizeof current, current);
  // A directory that does not fit the buffer is not searched rather than
  // searched under a cut name.
  if (length != 0 && length < sizeof current && SearchPakDirectory(*this, current, name) != 0) return;
  if ((flags & FlagCurrentDirectoryOnly) != 0) return;
  for (const TextString& directory : extraPakDirectories) {
    if (SearchPakDirectory(*this, directory.data != nullptr ? directory.data : "", name) != 0) return;
  }
}

void OCArchive::Close() {
  if (file) {
    file.reset();
    requestName.Clear();
  }
  if (memoryBase != nullptr) {
    if (ownsMemory != 0) std::free(memoryBase);
    memoryBase = nullptr;
  }
  memorySize = 0;
  inMemory = 0;
  inPak = 0;
  entryPacked = 0;
  position = 0;
}

void OCArchive::CreateDirectoryChain(const char* dir) {
  TextString rest;
  rest.Assign(dir);
  if (rest.data == nullptr) return;
  // Keep leading separators: "\data" is the root's data and "\\server\share"
  // a share, not folders below the current directory.
  TextString accumulated;
  const char* firstName = rest.SkipChars("\\");
  if (firstName != nullptr && firstName != rest.data) {
    accumulated.AssignRange(rest.data, static_cast<std::int32_t>(firstName - rest.data));
  }
  TextString component;
  while (rest.NextToken("\\", component) != nullptr) {
    accumulated.Append(component.data);
    const char* second = platform::CharNextA(component.data);
    const bool isDrive = *second == ':';
    if (!isDrive) platform::CreateDirectoryA(accumulated.data);
    accumulated.Append("\\");
  }
}
