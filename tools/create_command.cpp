// pak create: a pak from files (or from an extraction's manifest), written to
// a temporary file beside the output and renamed into place only when whole.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <random>
#include <sstream>

#include "archive/pak_writer.h"
#include "platform/platform.h"
#include "tools/commands.h"
#include "tools/manifest.h"
#include "tools/pak_names.h"
#include "tools/parallel.h"
#include "tools/progress.h"

namespace paktool {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTempSuffix = ".pak-tmp";

struct Input {
  std::string name;  // code page 932, "\"-separated
  fs::path file;
  Packing packing = Packing::Auto;
  std::uint32_t spare = 0;
  int level = kPakDefaultCompression;
};

struct Plan {
  std::uint32_t version = 0;
  std::string keyText;  // the header's key text field, up to 256 bytes
  std::uint32_t sizeKey = 0;
  int indexLevel = kPakDefaultCompression;
  std::vector<Input> inputs;
};

struct Prepared {
  std::string error;
  PreparedPakEntry entry;
};

// Removes its file when it goes out of scope, unless kept.
class TempFile {
 public:
  explicit TempFile(fs::path path) : path_(std::move(path)) {}
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() {
    std::error_code error;
    if (!kept_) fs::remove(path_, error);
  }
  const fs::path& path() const { return path_; }
  void Keep() { kept_ = true; }

 private:
  fs::path path_;
  bool kept_ = false;
};

fs::path TempPathBeside(const fs::path& output, const char* role) {
  std::random_device random;
  std::ostringstream name;
  name << "." << PathToUtf8(output.filename()) << "." << role << "-" << std::hex << random() << kTempSuffix;
  return output.parent_path() / Utf8Path(name.str());
}

std::string Display(const fs::path& file) { return PathToUtf8(file); }

// relative without "." and empty components, each ".." taking back the one
// before it; nothing when it is rooted or would climb above where it starts.
// The game looks names up byte for byte, so ".\a" or "a\\b" would never be found.
std::optional<fs::path> InsideRelative(const fs::path& relative) {
  if (relative.has_root_name() || relative.has_root_directory()) return std::nullopt;
  fs::path normal;
  for (const fs::path& part : relative) {
    if (part.empty() || part == ".") continue;
    if (part != "..") {
      normal /= part;
    } else if (normal.empty()) {
      return std::nullopt;
    } else {
      normal = normal.parent_path();
    }
  }
  return normal;
}

// The entry name of a file below base: its components joined with "\", in
// code page 932.
bool EntryNameOf(const fs::path& relative, std::string& name) {
  std::string utf8;
  for (const fs::path& part : relative) {
    if (!utf8.empty()) utf8 += '\\';
    utf8 += PathToUtf8(part);
  }
  bool ok = false;
  name = platform::Utf8ToAnsi(utf8, &ok);
  return ok;
}

class InputCollector {
 public:
  InputCollector(const CreateOptions& options, const Console& console, const fs::path& base)
      : options_(options), console_(console), base_(base) {
    std::error_code error;
    output_ = fs::weakly_canonical(Utf8Path(options.output), error);
  }

  // False when an input is missing or cannot be named in code page 932.
  bool Collect(std::vector<Input>& inputs) {
    bool ok = true;
    for (const std::string& path : options_.paths) {
      const fs::path full = base_ / InsideRelative(Utf8Path(path)).value_or(fs::path());
      std::error_code error;
      if (fs::is_directory(full, error)) {
        for (fs::recursive_directory_iterator it(full, error), end; !error && it != end; it.increment(error)) {
          if (it->is_regular_file(error)) ok = Add(it->path(), inputs) && ok;
        }
      } else if (fs::is_regular_file(full, error)) {
        ok = Add(full, inputs) && ok;
      } else {
        console_.Error("no such file or directory: " + path);
        ok = false;
      }
    }
    return ok;
  }

 private:
  bool Add(const fs::path& file, std::vector<Input>& inputs) {
    const std::optional<fs::path> relative = InsideRelative(file.lexically_relative(base_));
    const std::string filename = PathToUtf8(file.filename());
    std::error_code error;
    // The output itself, our own temporary files and an extraction's manifest
    // are never packed.
    if (fs::weakly_canonical(file, error) == output_) return true;
    if (filename.size() >= 8 && filename.ends_with(kTempSuffix)) return true;
    if (relative == fs::path(kDefaultManifestName)) return true;
    if (!relative || relative->empty()) {
      console_.Error(Display(file) + " lies outside " + Display(base_) + " (-C)");
      return false;
    }
    Input input;
    if (!EntryNameOf(*relative, input.name)) {
      console_.Error("the name of " + Display(file) + " cannot be written in code page 932");
      return false;
    }
    input.file = file;
    input.packing = options_.packing;
    input.level = options_.level.value_or(kPakDefaultCompression);
    inputs.push_back(std::move(input));
    return true;
  }

  const CreateOptions& options_;
  const Console& console_;
  fs::path base_;
  fs::path output_;
};

// Case-insensitive order puts every name before the names it begins, so the
// game's prefix match never hides one entry behind another.
bool SortAndCheckNames(std::vector<Input>& inputs, const Console& console) {
  std::stable_sort(inputs.begin(), inputs.end(), [](const Input& a, const Input& b) {
    const int order = platform::CompareNoCase(a.name.c_str(), b.name.c_str());
    return order != 0 ? order < 0 : a.name < b.name;
  });
  bool ok = true;
  for (std::size_t i = 1; i < inputs.size(); ++i) {
    if (platform::CompareNoCase(inputs[i - 1].name.c_str(), inputs[i].name.c_str()) == 0) {
      console.Error(Display(inputs[i - 1].file) + " and " + Display(inputs[i].file) +
                    " give the same entry name (the game ignores case)");
      ok = false;
    }
  }
  return ok;
}

int UsageError(const Console& console, const std::string& text) {
  console.Error(text);
  return kExitUnusable;
}

// Plan from the command line; returns an exit code, or -1 to go on.
int PlanFromOptions(const CreateOptions& options, const Console& console, Plan& plan) {
  if (!options.version) return UsageError(console, "create needs --format N (0 to 4) or --manifest FILE");
  plan.version = *options.version;
  if (plan.version > 4) return UsageError(console, "--format must be 0 to 4");
  if (plan.version < 2 && (options.keyText || options.sizeKey)) {
    return UsageError(console, "pak versions 0 and 1 have no key text and no sizeKey");
  }
  if (plan.version == 0 && options.packing == Packing::Pack) {
    return UsageError(console, "pak version 0 cannot pack entries");
  }
  if (options.keyText) {
    bool ok = false;
    plan.keyText = platform::Utf8ToAnsi(*options.keyText, &ok);
    if (!ok) return UsageError(console, "the key text cannot be written in code page 932");
    if (plan.keyText.size() > 256) return UsageError(console, "the key text is longer than 256 bytes");
  }
  plan.sizeKey = options.sizeKey.value_or(0);
  plan.indexLevel = options.level.value_or(kPakDefaultCompression);
  if (options.paths.empty()) return UsageError(console, "nothing to pack: name files or directories");
  const fs::path base = Utf8Path(options.directory.value_or("."));
  std::error_code error;
  if (!fs::is_directory(base, error)) return UsageError(console, "no such directory: " + PathToUtf8(base));
  for (const std::string& path : options.paths) {
    if (!InsideRelative(Utf8Path(path))) {
      return UsageError(console, path + ": give paths relative to the -C directory, without '..'");
    }
  }
  InputCollector collector(options, console, base);
  const bool collected = collector.Collect(plan.inputs);
  if (!SortAndCheckNames(plan.inputs, console) || !collected) return kExitSomeFailed;
  if (plan.inputs.empty()) return UsageError(console, "nothing to pack: no files found");
  return -1;
}

int PlanFromManifest(const CreateOptions& options, const Console& console, Plan& plan) {
  if (options.version || options.keyText || options.sizeKey || options.level || options.packing != Packing::Auto ||
      !options.paths.empty()) {
    return UsageError(console, "--manifest takes the format, keys, packing and files from the manifest");
  }
  const fs::path manifestPath = Utf8Path(*options.manifest);
  std::ifstream in(manifestPath, std::ios::binary);
  if (!in) return UsageError(console, "cannot read the manifest " + *options.manifest);
  std::ostringstream text;
  text << in.rdbuf();
  Manifest manifest;
  try {
    manifest = ManifestFromText(text.str());
  } catch (const ManifestError& error) {
    return UsageError(console, *options.manifest + ": " + error.what());
  }
  const fs::path base = options.directory ? Utf8Path(*options.directory)
                                          : fs::absolute(manifestPath).parent_path() / Utf8Path(manifest.root);
  plan.version = manifest.version;
  plan.keyText = manifest.keyText;
  plan.sizeKey = manifest.sizeKey;
  plan.indexLevel = manifest.indexLevel.value_or(kPakDefaultCompression);
  bool ok = true;
  bool levelsKnown = manifest.version == 0 || manifest.indexLevel.has_value();
  for (const ManifestEntry& entry : manifest.entries) {
    const std::optional<fs::path> relative = entry.path ? InsideRelative(Utf8Path(*entry.path)) : std::nullopt;
    if (!relative || relative->empty()) {
      console.Error("entry '" + NameToUtf8(entry.name) + "' has no usable file in the manifest");
      ok = false;
      continue;
    }
    levelsKnown = levelsKnown && (!entry.packed || entry.level.has_value());
    plan.inputs.push_back({entry.name, base / *relative, entry.packed ? Packing::Pack : Packing::Store, entry.spare,
                           entry.level.value_or(kPakDefaultCompression)});
  }
  if (!levelsKnown) console.Note("the manifest does not know every compression level; zlib's default is used there");
  if (plan.inputs.empty() && ok) return UsageError(console, "the manifest lists no entries");
  return ok ? -1 : kExitSomeFailed;
}

// Byte buffers handed back once written, so later entries reuse their
// capacity (and pages already touched) instead of allocating afresh.
class BufferPool {
 public:
  std::vector<std::uint8_t> Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (free_.empty()) return {};
    std::vector<std::uint8_t> buffer = std::move(free_.back());
    free_.pop_back();
    return buffer;
  }
  void Give(std::vector<std::uint8_t> buffer) {
    buffer.clear();
    std::lock_guard<std::mutex> lock(mutex_);
    free_.push_back(std::move(buffer));
  }

 private:
  std::mutex mutex_;
  std::vector<std::vector<std::uint8_t>> free_;
};

Prepared PrepareInput(const Plan& plan, const Input& input, BufferPool& pool) {
  Prepared prepared;
  try {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(input.file, error);
    if (error) throw std::runtime_error("cannot read: " + error.message());
    if (size > 0x7FFFFFFFu) throw std::runtime_error("larger than the 2 GiB an entry can hold");
    std::vector<std::uint8_t> data = pool.Take();
    data.resize(size);
    std::ifstream in(input.file, std::ios::binary);
    in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(size));
    if (!in || in.gcount() != static_cast<std::streamsize>(size)) throw std::runtime_error("cannot read the file");
    // Version 0 cannot pack, so there an entry asked to be packed is refused
    // by the writer, while one that may be packed is stored.
    const bool tryPack = input.packing == Packing::Pack || (input.packing == Packing::Auto && plan.version != 0);
    if (tryPack) {
      std::vector<std::uint8_t> packed = pool.Take();
      PakIndexEntry record = PreparePakEntry(plan.version, input.name, data, true, input.spare, input.level, packed);
      if (input.packing == Packing::Pack || packed.size() < data.size()) {
        prepared.entry.record = std::move(record);
        prepared.entry.bytes = std::move(packed);
        pool.Give(std::move(data));
        return prepared;
      }
      pool.Give(std::move(packed));
    }
    prepared.entry = PreparePakEntry(plan.version, input.name, std::move(data), false, input.spare, input.level);
  } catch (const std::exception& error) {
    prepared.error = Display(input.file) + ": " + error.what();
  }
  return prepared;
}

bool CopyInto(std::ofstream& out, const fs::path& from) {
  std::ifstream in(from, std::ios::binary);
  std::vector<char> buffer(64 * 1024);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    out.write(buffer.data(), in.gcount());
  }
  return in.eof() && static_cast<bool>(out);
}

int WritePak(const CreateOptions& options, const Console& console, const Plan& plan) {
  const fs::path output = Utf8Path(options.output);
  TempFile spool(TempPathBeside(output, "data"));
  std::ofstream data(spool.path(), std::ios::binary | std::ios::trunc);
  if (!data) return UsageError(console, "cannot write beside " + options.output);

  std::vector<PakIndexEntry> records;
  std::vector<std::string> errors;
  std::uint64_t offset = 0;
  {
    Progress progress("packing", plan.inputs.size(), !console.quiet());
    BufferPool pool;
    RunOrdered<Prepared>(
        plan.inputs.size(), WorkerCount(plan.inputs.size(), options.jobs),
        [&](std::size_t i, unsigned) { return PrepareInput(plan, plan.inputs[i], pool); },
        [&](std::size_t, Prepared& prepared) {
          progress.Advance();
          if (!prepared.error.empty()) errors.push_back(prepared.error);
          if (!errors.empty()) return;
          prepared.entry.record.dataOffset = static_cast<std::uint32_t>(offset);
          data.write(reinterpret_cast<const char*>(prepared.entry.bytes.data()),
                     static_cast<std::streamsize>(prepared.entry.bytes.size()));
          offset += prepared.entry.bytes.size();
          if (offset > 0x7FFFFFFFu) errors.push_back("the data passes the 2 GiB the game can seek to");
          records.push_back(std::move(prepared.entry.record));
          pool.Give(std::move(prepared.entry.bytes));
        });
  }
  data.close();
  for (const std::string& error : errors) console.Error(error);
  if (!errors.empty()) return kExitSomeFailed;
  if (!data) return UsageError(console, "cannot write beside " + options.output);

  std::vector<std::uint8_t> head;
  try {
    const std::string keyTextUpToZero = plan.keyText.substr(0, plan.keyText.find('\0'));
    PakHeader header = MakePakHeader(plan.version, keyTextUpToZero, plan.sizeKey);
    std::copy(plan.keyText.begin(), plan.keyText.end(), header.keyText);
    head = BuildPakHead(header, records, plan.indexLevel);
  } catch (const PakWriteError& error) {
    console.Error(options.output + ": " + error.what());
    return kExitSomeFailed;
  }
  TempFile whole(TempPathBeside(output, "new"));
  std::ofstream out(whole.path(), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(head.data()), static_cast<std::streamsize>(head.size()));
  const bool copied = CopyInto(out, spool.path());
  out.close();
  if (!copied || !out) return UsageError(console, "cannot write " + options.output);
  std::error_code error;
  fs::rename(whole.path(), output, error);
  if (error) return UsageError(console, "cannot replace " + options.output + ": " + error.message());
  whole.Keep();
  console.Note("wrote " + options.output + ": " + std::to_string(records.size()) + " entries, pak version " +
               std::to_string(plan.version));
  return kExitOk;
}

}  // namespace

int RunCreate(const CreateOptions& options, const Console& console) {
  Plan plan;
  const int planned =
      options.manifest ? PlanFromManifest(options, console, plan) : PlanFromOptions(options, console, plan);
  if (planned >= 0) return planned;
  return WritePak(options, console, plan);
}

}  // namespace paktool
