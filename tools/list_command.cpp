// pak list: the header and every index record, as text or one JSON document.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <nlohmann/json.hpp>

#include "tools/commands.h"
#include "tools/pak_names.h"
#include "tools/pak_reader.h"

namespace paktool {
namespace {

bool HasKeyFields(std::uint32_t version) { return version >= 2; }

// The key text as the ciphers see it: the bytes before the first zero.
std::string KeyText(const PakHeader& header) {
  const std::uint8_t* end = std::find(std::begin(header.keyText), std::end(header.keyText), 0);
  return std::string(reinterpret_cast<const char*>(header.keyText), static_cast<std::size_t>(end - header.keyText));
}

bool IsPacked(const PakRecord& record) { return record.entry.header.version != 0 && record.entry.packed != 0; }

nlohmann::json EntryJson(const PakRecord& record) {
  const PakIndexEntry& e = record.entry;
  bool escaped = false;
  nlohmann::json entry = {{"name", NameToUtf8(record.rawName, &escaped)},
                          {"nameHex", ToHex(record.rawName)},
                          {"size", e.size},
                          {"packed", IsPacked(record)},
                          {"packedSize", IsPacked(record) ? e.packedSize : 0},
                          {"dataStart", record.dataStart},
                          {"dataOffset", e.dataOffset},
                          {"spare", e.spare}};
  if (escaped) entry["nameEscaped"] = true;
  return entry;
}

void PrintJson(const PakFile& pak, const PakIndex& index) {
  const PakHeader& header = pak.header();
  nlohmann::json document = {{"pak", pak.path()},
                             {"version", header.version},
                             {"entryCount", header.entryCount},
                             {"fileSize", pak.fileSize()}};
  if (header.version != 0) {
    document["indexSize"] = header.indexSize;
    document["packedIndexSize"] = header.packedIndexSize;
  }
  if (HasKeyFields(header.version)) {
    document["keyText"] = NameToUtf8(KeyText(header));
    document["keyTextHex"] = ToHex(KeyText(header));
    document["sizeKey"] = header.sizeKey;
  }
  nlohmann::json entries = nlohmann::json::array();
  for (const PakRecord& record : index.records) entries.push_back(EntryJson(record));
  document["entries"] = std::move(entries);
  document["problems"] = index.problems;
  std::printf("%s\n", document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
}

void PrintText(const PakFile& pak, const PakIndex& index) {
  const PakHeader& header = pak.header();
  std::printf("%s: pak version %u, %u entries, %llu bytes\n", pak.path().c_str(), header.version, header.entryCount,
              static_cast<unsigned long long>(pak.fileSize()));
  if (header.version != 0) {
    std::printf("index: %u bytes, packed into %u\n", header.indexSize, header.packedIndexSize);
  }
  if (HasKeyFields(header.version)) {
    std::printf("key text: \"%s\" (hex %s), sizeKey 0x%08X\n", NameToUtf8(KeyText(header)).c_str(),
                ToHex(KeyText(header)).c_str(), header.sizeKey);
  }
  std::printf("%10s %6s %11s %11s  %s\n", "SIZE", "PACKED", "PACKED SIZE", "DATA START", "NAME");
  for (const PakRecord& record : index.records) {
    std::printf("%10u %6s %11s %11llu  %s\n", record.entry.size, IsPacked(record) ? "yes" : "no",
                IsPacked(record) ? std::to_string(record.entry.packedSize).c_str() : "-",
                static_cast<unsigned long long>(record.dataStart), NameToUtf8(record.rawName).c_str());
  }
}

}  // namespace

int RunList(const ListOptions& options, const Console& console) {
  try {
    PakFile pak(options.pak);
    const PakIndex index = pak.ReadIndex();
    if (options.json) {
      PrintJson(pak, index);
    } else {
      PrintText(pak, index);
    }
    for (const std::string& problem : index.problems) console.Error(options.pak + ": " + problem);
    return index.problems.empty() ? kExitOk : kExitSomeFailed;
  } catch (const PakError& error) {
    console.Error(options.pak + ": " + error.what());
    return kExitUnusable;
  }
}

}  // namespace paktool
