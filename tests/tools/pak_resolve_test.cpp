// pak cat and pak locate resolve names exactly as the launcher's OCArchive.
#include "archive/oc_archive.h"
#include "archive/pak_format.h"
#include "tests/tools/pak_tool_harness.h"

namespace {

using paktest::U8;

class ResolveTest : public paktest::PakToolTest {
 protected:
  void SetUp() override {
    PakToolTest::SetUp();
    paktest::WriteFile(Path("game/a.pak"),
                       Pak4({{"script\\product.ini", "from a", false}, {"cg\\ev01.bmp", paktest::Text(5000), true}}));
    PakContents b;
    b.version = 3;
    b.keyText = "key";
    b.entries = {Entry("script\\product.ini", "from b", true), Entry("only_b.txt", paktest::Noise(2000, 4), false),
                 Entry("表\\ソ.txt", paktest::Text(100), true)};
    paktest::WriteFile(Path("game/B.pak"), BuildPak(b));
    paktest::WriteFile(Path("game/cg/ev02.bmp"), "loose ev02");
    previous_ = std::filesystem::current_path();
  }

  void TearDown() override {
    std::filesystem::current_path(previous_);
    PakToolTest::TearDown();
  }

  static PakEntryContents Entry(const std::string& name, const std::string& data, bool packed) {
    PakEntryContents entry;
    entry.name = name;
    entry.data.assign(data.begin(), data.end());
    entry.packed = packed;
    return entry;
  }

  static std::vector<std::uint8_t> Pak4(const std::vector<std::tuple<std::string, std::string, bool>>& entries) {
    PakContents contents;
    contents.version = 4;
    for (const auto& [name, data, packed] : entries) contents.entries.push_back(Entry(name, data, packed));
    return BuildPak(contents);
  }

  // What the launcher's archive delivers for request (code page 932), and
  // the pak file it took it from ("" for a loose file).
  bool OpenInGame(const std::string& request, std::string& bytes, std::string& pak) {
    std::filesystem::current_path(Path("game"));
    OCArchive::quietReadFailures = true;
    OCArchive archive;
    const bool opened = archive.Open(request.c_str(), OCArchive::ModeRead) != 0;
    if (opened) {
      bytes.resize(archive.Size());
      bytes.resize(archive.Read(static_cast<std::uint32_t>(bytes.size()), bytes.data()));
      pak = archive.inPak != 0 ? std::filesystem::path(archive.requestName.data).filename().string() : "";
      if (archive.inPak != 0) {
        const std::string full = archive.requestName.data;
        pak = full.substr(full.find_last_of('\\') + 1);
      }
    }
    std::filesystem::current_path(previous_);
    return opened;
  }

  std::filesystem::path previous_;
};

TEST_F(ResolveTest, CatAndLocateAgreeWithTheArchive) {
  struct Case {
    std::string request;   // code page 932, as the game asks
    std::string argument;  // the same in UTF-8
  };
  const Case cases[] = {{"script\\product.ini", "script\\product.ini"},
                        {"SCRIPT/PRODUCT.INI", "SCRIPT/PRODUCT.INI"},
                        {"only_b.txt", "only_b.txt"},
                        {"cg\\ev0", "cg\\ev0"},
                        {"cg\\ev02.bmp", "cg\\ev02.bmp"},
                        {"cg\\ev*.bmp", "cg\\ev*.bmp"},
                        {"表\\ソ", U8(u8"表\\ソ")}};
  for (const Case& c : cases) {
    std::string bytes;
    std::string pak;
    ASSERT_TRUE(OpenInGame(c.request, bytes, pak)) << c.argument;

    const paktest::RunResult cat = Pak({"cat", c.argument, "-C", PathText("game")});
    EXPECT_EQ(cat.code, 0) << c.argument << cat.err;
    EXPECT_EQ(cat.out, bytes) << c.argument;

    const paktest::RunResult locate = Pak({"locate", c.argument, "-C", PathText("game")});
    EXPECT_EQ(locate.code, 0) << c.argument << locate.err;
    const std::string first = locate.out.substr(0, locate.out.find('\n'));
    if (pak.empty()) {
      EXPECT_NE(first.find("loose file"), std::string::npos) << first;
    } else {
      EXPECT_NE(first.find(pak + ", entry"), std::string::npos) << first;
    }
  }
}

TEST_F(ResolveTest, LocateListsWhatTheWinnerShadows) {
  const paktest::RunResult run = Pak({"locate", "script\\product.ini", "-C", PathText("game")});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("a.pak, entry 'script\\product.ini' (pak version 4, stored"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("shadows pak"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("B.pak, entry 'script\\product.ini' (pak version 3, packed"), std::string::npos) << run.out;
}

TEST_F(ResolveTest, ANameFoundNowhereExitsWithOne) {
  const paktest::RunResult cat = Pak({"cat", "no\\such.file", "-C", PathText("game")});
  EXPECT_EQ(cat.code, 1);
  EXPECT_TRUE(cat.out.empty());
  EXPECT_EQ(Pak({"locate", "no\\such.file", "-C", PathText("game")}).code, 1);
}

}  // namespace
