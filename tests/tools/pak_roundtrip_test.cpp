// Every pak version, stored and packed: create, list, extract and rebuild from
// the manifest give back the same names, bytes and pak.
#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>

#include "tests/tools/pak_tool_harness.h"
#include "tools/pak_names.h"

namespace {

using paktest::Noise;
using paktest::ReadFile;
using paktest::Text;
using paktest::U8;

struct Sample {
  std::string path;  // UTF-8, "/" separated
  std::string name;  // as the pak stores it: code page 932, "\" separated
  std::string bytes;
};

// 表 and ソ end in the trail byte 0x5C; the sizes straddle the 16- and
// 1024-byte enciphered prefixes and the tool's 64 KiB read chunks.
std::vector<Sample> Samples() {
  return {{"script/product.ini", "script\\product.ini", "[x]\nname=HarborLanternFete\n"},
          {U8(u8"cg/表ソ.txt"), "cg\\表ソ.txt", Text(3000)},
          {U8(u8"表/ソ"), "表\\ソ", Noise(1500, 1)},
          {"empty.dat", "empty.dat", ""},
          {"seven.bin", "seven.bin", Noise(7, 2)},
          {"big/noise.bin", "big\\noise.bin", Noise(70000, 3)},
          {"big/text.txt", "big\\text.txt", Text(200000)}};
}

struct Format {
  int version;
  const char* packing;  // --pack, --store or "" (pack when smaller)
};

class RoundTripTest : public paktest::PakToolTest, public ::testing::WithParamInterface<Format> {
 protected:
  void MakeSource() {
    for (const Sample& sample : Samples()) paktest::WriteFile(Path("src/" + sample.path), sample.bytes);
  }

  std::vector<std::string> CreateArguments(const std::string& out) const {
    std::vector<std::string> arguments = {"create", PathText(out),  "--format", std::to_string(GetParam().version),
                                          "-C",     PathText("src")};
    if (GetParam().version >= 2) arguments.insert(arguments.end(), {"--key", U8(u8"鍵abc"), "--size-key", "305419896"});
    if (*GetParam().packing != '\0') arguments.push_back(GetParam().packing);
    for (const char* top : {"script", "cg", "empty.dat", "seven.bin", "big"}) arguments.push_back(top);
    arguments.push_back(U8(u8"表"));
    return arguments;
  }
};

TEST_P(RoundTripTest, CreateListExtractAndRebuild) {
  MakeSource();
  const paktest::RunResult created = Pak(CreateArguments("a.pak"));
  ASSERT_EQ(created.code, 0) << created.err;

  const paktest::RunResult listed = Pak({"list", PathText("a.pak"), "--json"});
  ASSERT_EQ(listed.code, 0) << listed.err;
  const nlohmann::json document = nlohmann::json::parse(listed.out);
  EXPECT_EQ(document.at("version"), GetParam().version);
  EXPECT_EQ(document.at("entryCount"), Samples().size());
  std::map<std::string, nlohmann::json> byHex;
  for (const nlohmann::json& entry : document.at("entries")) {
    for (const char* field : {"name", "nameHex", "size", "packed", "packedSize", "dataStart"}) {
      EXPECT_TRUE(entry.contains(field)) << field;
    }
    byHex[entry.at("nameHex")] = entry;
  }
  for (const Sample& sample : Samples()) {
    const std::string hex = paktool::ToHex(sample.name);
    ASSERT_EQ(byHex.count(hex), 1u) << sample.path;
    const nlohmann::json& entry = byHex[hex];
    std::string display = sample.path;
    std::replace(display.begin(), display.end(), '/', '\\');
    EXPECT_EQ(entry.at("name"), display);
    EXPECT_EQ(entry.at("size"), sample.bytes.size());
    const std::string packing = GetParam().packing;
    // Without --pack or --store an entry is packed exactly when that pays.
    bool packed = packing == "--pack";
    if (packing.empty() && GetParam().version != 0)
      packed = sample.path == "big/text.txt" || sample.path == U8(u8"cg/表ソ.txt");
    if (packing.empty() && GetParam().version != 0 && sample.path == "script/product.ini") continue;
    EXPECT_EQ(entry.at("packed").get<bool>(), packed) << sample.path;
  }

  const paktest::RunResult extracted = Pak({"extract", PathText("a.pak"), "-o", PathText("out")});
  ASSERT_EQ(extracted.code, 0) << extracted.err;
  for (const Sample& sample : Samples()) {
    EXPECT_EQ(ReadFile(Path("out/" + sample.path)), sample.bytes) << sample.path;
  }

  const paktest::RunResult verified = Pak({"verify", PathText("a.pak")});
  EXPECT_EQ(verified.code, 0) << verified.out;

  const paktest::RunResult rebuilt =
      Pak({"create", PathText("b.pak"), "--manifest", PathText("out/.pak-manifest.json")});
  ASSERT_EQ(rebuilt.code, 0) << rebuilt.err;
  EXPECT_EQ(ReadFile(Path("b.pak")), ReadFile(Path("a.pak")));
}

std::string FormatName(const ::testing::TestParamInfo<Format>& info) {
  const std::string packing = info.param.packing;
  return "v" + std::to_string(info.param.version) + "_" +
         (packing == "--pack"    ? "pack"
          : packing == "--store" ? "store"
                                 : "auto");
}

INSTANTIATE_TEST_SUITE_P(AllVersions, RoundTripTest,
                         ::testing::Values(Format{0, "--store"}, Format{0, ""}, Format{1, "--store"},
                                           Format{1, "--pack"}, Format{1, ""}, Format{2, "--store"},
                                           Format{2, "--pack"}, Format{2, ""}, Format{3, "--store"},
                                           Format{3, "--pack"}, Format{3, ""}, Format{4, "--store"},
                                           Format{4, "--pack"}, Format{4, ""}),
                         FormatName);

using LevelTest = paktest::PakToolTest;

TEST_F(LevelTest, RebuildKeepsAnExplicitLevelAndTheWorkerCountChangesNothing) {
  for (int i = 0; i < 24; ++i) paktest::WriteFile(Path("src/f" + std::to_string(i)), Text(500 + 97 * i));
  ASSERT_EQ(
      Pak({"create", PathText("one.pak"), "--format", "4", "--level", "1", "-j", "1", "-C", PathText("src"), "."}).code,
      0);
  ASSERT_EQ(
      Pak({"create", PathText("two.pak"), "--format", "4", "--level", "1", "-j", "2", "-C", PathText("src"), "."}).code,
      0);
  EXPECT_EQ(ReadFile(Path("one.pak")), ReadFile(Path("two.pak")));

  ASSERT_EQ(Pak({"extract", PathText("one.pak"), "-o", PathText("out"), "-j", "2"}).code, 0);
  const nlohmann::json manifest = nlohmann::json::parse(ReadFile(Path("out/.pak-manifest.json")));
  EXPECT_EQ(manifest.at("indexLevel"), 1);
  ASSERT_EQ(Pak({"create", PathText("again.pak"), "--manifest", PathText("out/.pak-manifest.json")}).code, 0);
  EXPECT_EQ(ReadFile(Path("again.pak")), ReadFile(Path("one.pak")));
}

}  // namespace
