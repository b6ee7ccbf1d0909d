// The subcommands of the pak tool; each returns the process exit code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/console.h"

namespace paktool {

struct ListOptions {
  std::string pak;
  bool json = false;
};
int RunList(const ListOptions& options, const Console& console);

struct ExtractOptions {
  std::string pak;
  std::string directory = ".";
  std::vector<std::string> patterns;
  bool overwrite = false;
  std::optional<std::string> manifest;  // default: directory/.pak-manifest.json
  bool noManifest = false;
  unsigned jobs = 0;
};
int RunExtract(const ExtractOptions& options, const Console& console);

enum class Packing { Auto, Pack, Store };

struct CreateOptions {
  std::string output;
  std::optional<std::uint32_t> version;
  std::optional<std::string> keyText;
  std::optional<std::uint32_t> sizeKey;
  Packing packing = Packing::Auto;
  std::optional<int> level;
  std::optional<std::string> directory;
  std::optional<std::string> manifest;
  std::vector<std::string> paths;
  unsigned jobs = 0;
};
int RunCreate(const CreateOptions& options, const Console& console);

struct VerifyOptions {
  std::vector<std::string> paks;
};
int RunVerify(const VerifyOptions& options, const Console& console);

struct ResolveOptions {
  std::string name;
  std::string directory = ".";
};
int RunCat(const ResolveOptions& options, const Console& console);
int RunLocate(const ResolveOptions& options, const Console& console);

}  // namespace paktool
