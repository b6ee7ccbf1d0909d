// pak extract: entries as files below a directory, never outside it, plus the
// manifest that lets create rebuild the pak.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>

#include "platform/platform.h"
#include "tools/commands.h"
#include "tools/compression_level.h"
#include "tools/manifest.h"
#include "tools/pak_names.h"
#include "tools/pak_reader.h"
#include "tools/parallel.h"
#include "tools/progress.h"

namespace paktool {
namespace {

namespace fs = std::filesystem;

struct Planned {
  std::size_t record;
  fs::path target;
};

struct Outcome {
  std::string error;
  std::optional<int> level;
};

struct Job {
  const ExtractOptions& options;
  const PakIndex& index;
  fs::path base;  // the directory, canonical
  bool wantLevels;
};

std::string Quoted(const std::string& name) {
  std::string quoted(1, '\'');
  quoted += NameToUtf8(name);
  quoted += '\'';
  return quoted;
}

bool IsPacked(const PakRecord& record) { return record.entry.header.version != 0 && record.entry.packed != 0; }

// Folds ASCII letters, so entries differing only in case, which land on one
// file where the file system ignores case, are caught everywhere alike.
std::string FoldedKey(const fs::path& path) {
  std::string key = PathToUtf8(path.lexically_normal());
  std::transform(key.begin(), key.end(), key.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return key;
}

bool IsWithin(const fs::path& path, const fs::path& base) {
  auto mismatch = std::mismatch(base.begin(), base.end(), path.begin(), path.end());
  return mismatch.first == base.end();
}

// The header's whole key text field without its trailing zeros (versions 2-4).
std::string StoredKeyText(const PakHeader& header) {
  if (header.version < 2) return {};
  std::string text(reinterpret_cast<const char*>(header.keyText), sizeof header.keyText);
  text.erase(text.find_last_not_of('\0') + 1);
  return text;
}

Outcome WriteEntry(const Job& job, const PakRecord& record, const fs::path& target, std::unique_ptr<PakFile>& reader) {
  std::error_code error;
  if (!job.options.overwrite && fs::exists(fs::symlink_status(target, error))) {
    return {"the file exists; not overwritten (use --overwrite)", std::nullopt};
  }
  const fs::path parent = target.parent_path();
  fs::create_directories(parent, error);
  if (error) return {"cannot create the directory " + PathToUtf8(parent) + ": " + error.message(), std::nullopt};
  // A directory that is a link must not carry the file out of the directory.
  if (!IsWithin(fs::canonical(parent, error), job.base) || error) {
    return {"its directory leads outside the extraction directory; not written", std::nullopt};
  }
  if (fs::is_symlink(fs::symlink_status(target, error))) fs::remove(target, error);
  try {
    if (!reader) reader = std::make_unique<PakFile>(job.options.pak);
  } catch (const PakError& failure) {
    return {failure.what(), std::nullopt};
  }
  Outcome outcome;
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  if (!out) return {"cannot create the file " + PathToUtf8(target), std::nullopt};
  const bool detect = job.wantLevels && IsPacked(record);
  std::string stream;
  try {
    reader->ReadEntry(
        record,
        [&](const std::uint8_t* data, std::size_t size) {
          out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
          if (detect) {
            outcome.level =
                DetectEntryLevel(record.entry.header.version, record.rawName, data, size, record.entry.spare, stream);
          }
        },
        detect ? &stream : nullptr);
    out.close();
    if (!out) outcome.error = "cannot write the file " + PathToUtf8(target);
  } catch (const EntryError& failure) {
    outcome.error = failure.what();
  } catch (const std::exception& failure) {
    outcome.error = failure.what();
  }
  if (!outcome.error.empty()) {
    out.close();
    fs::remove(target, error);
  }
  return outcome;
}

bool SequentialLayout(const PakHeader& header, const PakIndex& index) {
  std::uint64_t offset = 0;
  if (header.version == 0) {
    offset = 8;
    for (const PakRecord& record : index.records) offset += 16 + record.rawName.size();
  }
  for (const PakRecord& record : index.records) {
    if (record.entry.dataOffset != offset) return false;
    offset += IsPacked(record) ? record.entry.packedSize : record.entry.size;
  }
  return true;
}

bool Reproducible(const PakHeader& header, const PakIndex& index, const Manifest& manifest) {
  if (!index.problems.empty() || index.records.size() != header.entryCount) return false;
  if (header.version != 0 && !manifest.indexLevel) return false;
  for (const ManifestEntry& entry : manifest.entries) {
    if (!entry.path || (entry.packed && !entry.level)) return false;
  }
  return SequentialLayout(header, index);
}

std::optional<int> IndexLevel(const PakHeader& header, const PakIndex& index) {
  if (header.version == 0) return std::nullopt;
  std::vector<PakIndexEntry> records;
  for (const PakRecord& record : index.records) records.push_back(record.entry);
  try {
    return DetectIndexLevel(header, records, index.packedStream);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

bool ConvertPatterns(const std::vector<std::string>& patterns, std::vector<std::string>& converted,
                     const Console& console) {
  for (const std::string& pattern : patterns) {
    bool ok = false;
    std::string ansi = platform::Utf8ToAnsi(pattern, &ok);
    if (!ok) {
      console.Error("the pattern '" + pattern + "' cannot be written in code page 932");
      return false;
    }
    // "/" is never a trail byte, so a byte-wise replacement is exact.
    std::replace(ansi.begin(), ansi.end(), '/', '\\');
    converted.push_back(ansi);
  }
  return true;
}

bool Selected(const std::vector<std::string>& patterns, const std::string& name) {
  return patterns.empty() ||
         std::any_of(patterns.begin(), patterns.end(), [&](const std::string& p) { return MatchPattern(p, name); });
}

}  // namespace

int RunExtract(const ExtractOptions& options, const Console& console) {
  std::vector<std::string> patterns;
  if (!ConvertPatterns(options.patterns, patterns, console)) return kExitUnusable;
  try {
    PakFile pak(options.pak);
    const PakIndex index = pak.ReadIndex();
    const PakHeader& header = pak.header();
    bool failed = false;
    for (const std::string& problem : index.problems) {
      console.Error(options.pak + ": " + problem);
      failed = true;
    }

    const fs::path directory = Utf8Path(options.directory);
    std::error_code error;
    fs::create_directories(directory, error);
    const fs::path base = fs::canonical(directory, error);
    if (error) {
      console.Error("cannot use the directory " + options.directory + ": " + error.message());
      return kExitUnusable;
    }
    const bool writeManifest = patterns.empty() && !options.noManifest;
    const fs::path manifestPath = options.manifest ? Utf8Path(*options.manifest) : base / kDefaultManifestName;

    Manifest manifest;
    manifest.version = header.version;
    manifest.keyText = StoredKeyText(header);
    manifest.sizeKey = header.version >= 2 ? header.sizeKey : 0;
    std::vector<Planned> plan;
    std::set<std::string> taken;
    if (writeManifest) taken.insert(FoldedKey(fs::absolute(manifestPath)));
    for (std::size_t i = 0; i < index.records.size(); ++i) {
      const PakRecord& record = index.records[i];
      if (!Selected(patterns, record.rawName)) continue;
      ManifestEntry entry{record.rawName, std::nullopt, IsPacked(record), record.entry.spare, std::nullopt};
      const EntryPlacement placement = PlaceEntry(record.rawName);
      if (!placement.refusal.empty()) {
        console.Error("refused entry " + Quoted(record.rawName) + ": " + placement.refusal);
        failed = true;
      } else {
        std::string relative;
        for (const std::string& component : placement.components) {
          if (!relative.empty()) relative += '/';
          relative += component;
        }
        const fs::path target = base / Utf8Path(relative);
        if (!taken.insert(FoldedKey(target)).second) {
          console.Error("entry " + Quoted(record.rawName) +
                        " not extracted: it lands on the same file as an earlier entry or the manifest");
          failed = true;
        } else {
          entry.path = relative;
          plan.push_back({i, target});
        }
      }
      manifest.entries.push_back(std::move(entry));
    }

    const Job job{options, index, base, writeManifest};
    const unsigned workers = WorkerCount(plan.size(), options.jobs);
    std::vector<std::unique_ptr<PakFile>> readers(workers);
    std::vector<std::string> errors;
    std::vector<std::optional<int>> levels(index.records.size());
    {
      Progress progress("extracting", plan.size(), !console.quiet());
      RunOrdered<Outcome>(
          plan.size(), workers,
          [&](std::size_t j, unsigned worker) {
            return WriteEntry(job, index.records[plan[j].record], plan[j].target, readers[worker]);
          },
          [&](std::size_t j, Outcome& outcome) {
            progress.Advance();
            levels[plan[j].record] = outcome.level;
            if (!outcome.error.empty()) {
              errors.push_back("entry " + Quoted(index.records[plan[j].record].rawName) + ": " + outcome.error);
            }
          });
    }
    for (const std::string& message : errors) console.Error(message);
    failed = failed || !errors.empty();

    if (writeManifest) {
      for (std::size_t i = 0; i < index.records.size(); ++i) manifest.entries[i].level = levels[i];
      manifest.indexLevel = IndexLevel(header, index);
      const std::u8string root =
          fs::proximate(base, fs::absolute(manifestPath).parent_path(), error).generic_u8string();
      manifest.root = std::string(root.begin(), root.end());
      std::ofstream out(manifestPath, std::ios::binary | std::ios::trunc);
      out << ManifestToText(manifest);
      out.close();
      if (!out) {
        console.Error("cannot write the manifest " + PathToUtf8(manifestPath));
        failed = true;
      } else if (!Reproducible(header, index, manifest)) {
        console.Note(
            "the manifest rebuilds these entries, but not this pak byte for byte "
            "(it was not laid out by this tool, or entries are missing)");
      }
    }
    console.Note("extracted " + std::to_string(plan.size() - errors.size()) + " of " +
                 std::to_string(index.records.size()) + " entries to " + PathToUtf8(base));
    return failed ? kExitSomeFailed : kExitOk;
  } catch (const PakError& error) {
    console.Error(options.pak + ": " + error.what());
    return kExitUnusable;
  }
}

}  // namespace paktool
