// pak verify on a clean pak and on paks broken in the ways that matter.
#include <cstring>
#include <functional>

#include "tests/tools/pak_tool_harness.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutU32(Bytes& pak, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) pak[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetU32(const Bytes& pak, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= std::uint32_t{pak[offset + i]} << (8 * i);
  return value;
}

// A version-1 pak (plain 16-byte header): a packed text, then stored noise.
// dataOffsetOfSecond moves the second entry's record, for an entry that lies
// outside the file.
Bytes MakePak(std::uint32_t dataOffsetOfSecond = 0) {
  const std::string text = paktest::Text(20000);
  const std::string noise = paktest::Noise(3000, 7);
  PreparedPakEntry first = PreparePakEntry(1, "script\\a.txt", Bytes(text.begin(), text.end()), true, 0, 6);
  PreparedPakEntry second = PreparePakEntry(1, "cg\\b.bin", Bytes(noise.begin(), noise.end()), false, 0, 6);
  first.record.dataOffset = 0;
  second.record.dataOffset =
      dataOffsetOfSecond != 0 ? dataOffsetOfSecond : static_cast<std::uint32_t>(first.bytes.size());
  PakHeader header = MakePakHeader(1, "", 0);
  Bytes pak = BuildPakHead(header, {first.record, second.record}, 6);
  pak.insert(pak.end(), first.bytes.begin(), first.bytes.end());
  pak.insert(pak.end(), second.bytes.begin(), second.bytes.end());
  return pak;
}

constexpr std::size_t kHeader = 16;

struct BrokenCase {
  const char* what;
  std::function<Bytes()> make;
  std::vector<std::string> expected;  // each must appear on one problem line
};

class VerifyTest : public paktest::PakToolTest, public ::testing::WithParamInterface<BrokenCase> {};

TEST_F(VerifyTest, ACleanPakPasses) {
  paktest::WriteFile(Path("clean.pak"), MakePak());
  const paktest::RunResult run = Pak({"verify", PathText("clean.pak")});
  EXPECT_EQ(run.code, 0) << run.out;
  EXPECT_NE(run.out.find("ok"), std::string::npos);
}

TEST_P(VerifyTest, EachProblemIsOneLineNamingThePakAndTheEntry) {
  paktest::WriteFile(Path("clean.pak"), MakePak());
  paktest::WriteFile(Path("broken.pak"), GetParam().make());
  const paktest::RunResult run = Pak({"verify", PathText("clean.pak"), PathText("broken.pak")});
  EXPECT_EQ(run.code, 1) << run.out;
  bool found = false;
  std::size_t start = 0;
  for (std::size_t end; (end = run.out.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = run.out.substr(start, end - start);
    EXPECT_EQ(line.find("clean.pak: ok"), line.find("clean.pak")) << "clean pak reported: " << line;
    bool all = line.find("broken.pak") != std::string::npos;
    for (const std::string& text : GetParam().expected) all = all && line.find(text) != std::string::npos;
    found = found || all;
  }
  EXPECT_TRUE(found) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Broken, VerifyTest,
    ::testing::Values(BrokenCase{"truncated",
                                 [] {
                                   Bytes pak = MakePak();
                                   pak.resize(pak.size() - 10);
                                   return pak;
                                 },
                                 {"cg\\b.bin", "past the end of the file"}},
                      BrokenCase{"truncated_header", [] { return Bytes{1, 0, 0, 0, 2, 0}; }, {"inside the pak header"}},
                      BrokenCase{"index_past_end",
                                 [] {
                                   Bytes pak = MakePak();
                                   PutU32(pak, 12, static_cast<std::uint32_t>(pak.size()));
                                   return pak;
                                 },
                                 {"packed index", "past the end"}},
                      BrokenCase{"index_shorter_than_header_says",
                                 [] {
                                   Bytes pak = MakePak();
                                   PutU32(pak, 8, GetU32(pak, 8) + 40);
                                   return pak;
                                 },
                                 {"the index inflates to"}},
                      BrokenCase{"more_records_than_the_index_holds",
                                 [] {
                                   Bytes pak = MakePak();
                                   PutU32(pak, 4, 3);
                                   return pak;
                                 },
                                 {"record 3 of 3", "past the end of the index"}},
                      BrokenCase{"damaged_index_stream",
                                 [] {
                                   Bytes pak = MakePak();
                                   for (std::size_t i = kHeader + 2; i < kHeader + 12; ++i) pak[i] ^= 0x5A;
                                   return pak;
                                 },
                                 {"index does not inflate"}},
                      BrokenCase{"entry_outside_the_file",
                                 [] { return MakePak(5000000); },
                                 {"cg\\b.bin", "past the end of the file"}},
                      BrokenCase{"bad_zlib_stream",
                                 [] {
                                   Bytes pak = MakePak();
                                   const std::size_t data = kHeader + GetU32(pak, 12);
                                   for (std::size_t i = data + 20; i < data + 60; ++i) pak[i] = 0xFF;
                                   return pak;
                                 },
                                 {"script\\a.txt", "does not inflate"}},
                      BrokenCase{"bad_adler_trailer",
                                 [] {
                                   Bytes pak = MakePak();
                                   const std::size_t data = kHeader + GetU32(pak, 12);
                                   const std::size_t end = data + (pak.size() - data - 3000);
                                   pak[end - 1] ^= 0x01;
                                   return pak;
                                 },
                                 {"script\\a.txt", "does not inflate"}}),
    [](const ::testing::TestParamInfo<BrokenCase>& info) { return std::string(info.param.what); });

}  // namespace
