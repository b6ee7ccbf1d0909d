// pak cat and pak locate: resolve a name exactly as the game's Open does, in a
// directory taken as the current one.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "archive/oc_archive.h"
#include "archive/pak_format.h"
#include "errors/oc_exception.h"
#include "platform/platform.h"
#include "text/text_string.h"
#include "tools/commands.h"
#include "tools/pak_names.h"
#include "tools/pak_reader.h"

namespace paktool {
namespace {

struct Candidate {
  std::string pak;   // code page 932 path; empty for a loose file
  std::string name;  // the entry's name, or the loose file's path
  std::uint32_t version = 0;
  bool packed = false;
  std::uint32_t size = 0;
};

class FindScope {
 public:
  FindScope(const std::string& pattern, platform::FindData& data)
      : handle_(platform::FindFirstFileA(pattern.c_str(), &data)) {}
  FindScope(const FindScope&) = delete;
  FindScope& operator=(const FindScope&) = delete;
  ~FindScope() {
    if (valid()) platform::FindClose(handle_);
  }
  bool valid() const { return handle_ != platform::INVALID_FIND_HANDLE; }
  platform::FindHandle handle() const { return handle_; }

 private:
  platform::FindHandle handle_;
};

// Files (not directories) that FindFirstFileA lists for pattern, as prefix +
// file name, in the platform's order.
std::vector<std::string> ListFiles(const std::string& pattern, const std::string& prefix) {
  std::vector<std::string> files;
  platform::FindData data;
  FindScope find(pattern, data);
  if (!find.valid()) return files;
  do {
    if ((data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY) == 0) files.push_back(prefix + data.fileName);
  } while (platform::FindNextFileA(find.handle(), &data));
  return files;
}

std::string Describe(const Candidate& candidate) {
  if (candidate.pak.empty()) {
    return "loose file " + NameToUtf8(candidate.name);
  }
  return "pak " + NameToUtf8(candidate.pak) + ", entry '" + NameToUtf8(candidate.name) + "' (pak version " +
         std::to_string(candidate.version) + ", " + (candidate.packed ? "packed" : "stored") + ", " +
         std::to_string(candidate.size) + " bytes)";
}

bool Same(const Candidate& a, const Candidate& b) {
  return platform::CompareNoCase(a.pak.c_str(), b.pak.c_str()) == 0 && a.name == b.name;
}

// The request as the pak search sees it: "/" made "\", cut at a "*", and
// doubled backslashes made single.
std::string SearchKey(const std::string& request, bool& wildcard) {
  TextString key;
  key.Assign(request.c_str());
  key.ReplaceAll("/", "\\");
  const char* star = key.data != nullptr ? platform::FindChar(key.data, '*') : nullptr;
  wildcard = star != nullptr;
  const char* end = star != nullptr ? star : key.data + key.length;
  std::string text = key.data != nullptr ? std::string(static_cast<const char*>(key.data), end) : "";
  key.Assign(text.c_str());
  key.ReplaceAll("\\\\", "\\");
  return key.data != nullptr ? key.data : "";
}

std::vector<Candidate> LooseCandidates(const std::string& request, bool wildcard) {
  std::vector<Candidate> found;
  if (wildcard) {
    std::string normalised = request;
    std::replace(normalised.begin(), normalised.end(), '/', '\\');
    const char* slash = platform::FindLastChar(normalised.c_str(), '\\');
    const std::string prefix = slash != nullptr ? std::string(normalised.c_str(), slash + 1) : "";
    for (const std::string& file : ListFiles(normalised, prefix)) found.push_back({"", file, 0, false, 0});
    return found;
  }
  const platform::DWORD attributes = platform::GetFileAttributesA(request.c_str());
  if (attributes != platform::INVALID_FILE_ATTRIBUTES && attributes != 0 &&
      (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) == 0) {
    found.push_back({"", request, 0, false, 0});
  }
  return found;
}

// Every record of the current directory's paks that the request matches, in
// the order the game tries them.
std::vector<Candidate> PakCandidates(const std::string& key, const Console& console) {
  char buffer[512] = {};
  platform::GetCurrentDirectoryA(sizeof buffer, buffer);
  std::string directory = buffer;
  if (!directory.empty() && platform::CharPrevA(directory.c_str(), directory.c_str() + directory.size())[0] == '\\') {
    directory.pop_back();
  }
  std::vector<std::string> paks = ListFiles(directory + "\\*.pak", directory + "\\");
  std::stable_sort(paks.begin(), paks.end(), [](const std::string& a, const std::string& b) {
    return platform::lstrcmpiA(a.c_str(), b.c_str()) < 0;
  });
  std::vector<Candidate> found;
  for (const std::string& pakPath : paks) {
    try {
      PakFile pak(AnsiPath{pakPath});
      for (const PakRecord& record : pak.ReadIndex().records) {
        const char* name = record.entry.name.data != nullptr ? record.entry.name.data : "";
        if (platform::CompareNoCaseBytes(key.c_str(), name, key.size()) == 0) {
          const bool packed = record.entry.header.version != 0 && record.entry.packed != 0;
          found.push_back({pakPath, name, record.entry.header.version, packed, record.entry.size});
        }
      }
    } catch (const PakError& error) {
      console.Note("passing over " + NameToUtf8(pakPath) + ": " + error.what());
    }
  }
  return found;
}

// Opens the request through OCArchive with the dialog suppressed; false with
// a message when it cannot.
bool OpenAsGame(OCArchive& archive, const ResolveOptions& options, const Console& console, std::string& request) {
  std::error_code error;
  std::filesystem::current_path(Utf8Path(options.directory), error);
  if (error) {
    console.Error("cannot use the directory " + options.directory + ": " + error.message());
    return false;
  }
  bool ok = false;
  request = platform::Utf8ToAnsi(options.name, &ok);
  if (!ok) {
    console.Error("the name '" + options.name + "' cannot be written in code page 932");
    return false;
  }
  OCArchive::quietReadFailures = true;
  try {
    if (archive.Open(request.c_str(), OCArchive::ModeRead) != 0) return true;
    console.Error(options.name + ": not found in " + options.directory + " or its paks");
  } catch (const OCErrorException& failure) {
    console.Error(options.name + ": " +
                  platform::AnsiToUtf8(failure.message.data != nullptr ? failure.message.data : ""));
  } catch (const std::uint32_t& status) {
    console.Error(options.name + ": no memory for a pak index (status " + std::to_string(status) + ")");
  } catch (const std::exception& failure) {
    console.Error(options.name + ": " + failure.what());
  } catch (...) {
    console.Error(options.name + ": the archive failed");
  }
  return false;
}

}  // namespace

int RunCat(const ResolveOptions& options, const Console& console) {
  OCArchive archive;
  std::string request;
  if (!OpenAsGame(archive, options, console, request)) return kExitSomeFailed;
  platform::SetBinaryMode(stdout);
  std::vector<std::uint8_t> buffer(64 * 1024);
  // Reads of a stored entry are not clipped at its end, so the size is; the
  // first read covers the enciphered prefix whole, as the game's one read.
  for (std::uint32_t left = archive.Size(); left != 0;) {
    const std::uint32_t count = std::min<std::uint32_t>(left, static_cast<std::uint32_t>(buffer.size()));
    const std::uint32_t got = archive.Read(count, buffer.data());
    if (got != 0 && std::fwrite(buffer.data(), 1, got, stdout) != got) break;
    if (got != count) {
      console.Error(options.name + ": the data ends early");
      return kExitSomeFailed;
    }
    left -= got;
  }
  return std::fflush(stdout) == 0 ? kExitOk : kExitUnusable;
}

int RunLocate(const ResolveOptions& options, const Console& console) {
  OCArchive archive;
  std::string request;
  if (!OpenAsGame(archive, options, console, request)) return kExitSomeFailed;
  Candidate winner;
  if (archive.inPak != 0) {
    winner = {archive.requestName.data, archive.openedName.data != nullptr ? archive.openedName.data : "",
              archive.entry->header.version, archive.entryPacked != 0, archive.entry->size};
  } else {
    winner = {"", archive.openedName.data != nullptr ? archive.openedName.data : "", 0, false, archive.Size()};
  }
  archive.Close();
  std::printf("%s resolves to %s\n", options.name.c_str(), Describe(winner).c_str());

  bool wildcard = false;
  const std::string key = SearchKey(request, wildcard);
  std::vector<Candidate> others = LooseCandidates(request, wildcard);
  for (Candidate& candidate : PakCandidates(key, console)) others.push_back(std::move(candidate));
  bool skippedWinner = false;
  for (const Candidate& candidate : others) {
    if (!skippedWinner && Same(candidate, winner)) {
      skippedWinner = true;
      continue;
    }
    std::printf("  shadows %s\n", Describe(candidate).c_str());
  }
  return kExitOk;
}

}  // namespace paktool
