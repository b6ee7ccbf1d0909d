// Manifest as JSON. Names travel as hex bytes (authoritative) and as UTF-8
// for people to read.
#include "tools/manifest.h"

#include <nlohmann/json.hpp>

#include "tools/pak_names.h"

namespace paktool {
namespace {

constexpr int kManifestFormat = 1;

nlohmann::json OptionalNumber(const std::optional<int>& value) {
  return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

std::optional<int> ReadLevel(const nlohmann::json& value, const std::string& where) {
  if (value.is_null()) return std::nullopt;
  const int level = value.get<int>();
  if (level < -1 || level > 9) throw ManifestError(where + ": level " + std::to_string(level) + " is not -1 to 9");
  return level;
}

std::string ReadHex(const nlohmann::json& value, const std::string& where) {
  std::string bytes;
  if (!FromHex(value.get<std::string>(), bytes)) throw ManifestError(where + " is not hex");
  return bytes;
}

}  // namespace

std::string ManifestToText(const Manifest& manifest) {
  nlohmann::json entries = nlohmann::json::array();
  for (const ManifestEntry& entry : manifest.entries) {
    entries.push_back({{"name", NameToUtf8(entry.name)},
                       {"nameHex", ToHex(entry.name)},
                       {"path", entry.path ? nlohmann::json(*entry.path) : nlohmann::json(nullptr)},
                       {"packed", entry.packed},
                       {"spare", entry.spare},
                       {"level", OptionalNumber(entry.level)}});
  }
  const nlohmann::json document = {{"pakManifest", kManifestFormat},
                                   {"version", manifest.version},
                                   {"keyText", NameToUtf8(manifest.keyText)},
                                   {"keyTextHex", ToHex(manifest.keyText)},
                                   {"sizeKey", manifest.sizeKey},
                                   {"indexLevel", OptionalNumber(manifest.indexLevel)},
                                   {"root", manifest.root},
                                   {"entries", entries}};
  return document.dump(2) + "\n";
}

Manifest ManifestFromText(const std::string& text) {
  try {
    const nlohmann::json document = nlohmann::json::parse(text);
    if (document.at("pakManifest").get<int>() != kManifestFormat) {
      throw ManifestError("unknown manifest format " + document.at("pakManifest").dump());
    }
    Manifest manifest;
    manifest.version = document.at("version").get<std::uint32_t>();
    if (manifest.version > 4) throw ManifestError("pak version " + std::to_string(manifest.version) + " is not 0 to 4");
    manifest.keyText = ReadHex(document.at("keyTextHex"), "keyTextHex");
    if (manifest.keyText.size() > 256) throw ManifestError("keyTextHex holds more than 256 bytes");
    manifest.sizeKey = document.at("sizeKey").get<std::uint32_t>();
    manifest.indexLevel = ReadLevel(document.at("indexLevel"), "indexLevel");
    manifest.root = document.value("root", std::string("."));
    const nlohmann::json& entries = document.at("entries");
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const nlohmann::json& item = entries.at(i);
      const std::string where = "entry " + std::to_string(i + 1);
      ManifestEntry entry;
      entry.name = ReadHex(item.at("nameHex"), where + " nameHex");
      if (!item.at("path").is_null()) entry.path = item.at("path").get<std::string>();
      entry.packed = item.at("packed").get<bool>();
      entry.spare = item.at("spare").get<std::uint32_t>();
      entry.level = ReadLevel(item.at("level"), where);
      manifest.entries.push_back(std::move(entry));
    }
    return manifest;
  } catch (const nlohmann::json::exception& error) {
    throw ManifestError(std::string("not a pak manifest: ") + error.what());
  }
}

}  // namespace paktool
