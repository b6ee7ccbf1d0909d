// pak extract: hostile names stay inside the directory, files are not
// overwritten by surprise, patterns match as the game compares names.
#include <algorithm>

#include "tests/tools/pak_tool_harness.h"

namespace {

using paktest::ReadFile;
using paktest::U8;

class ExtractTest : public paktest::PakToolTest {
 protected:
  void WritePak(const std::string& file, const std::vector<std::string>& names) {
    PakContents contents;
    contents.version = 4;
    for (const std::string& name : names) {
      PakEntryContents entry;
      entry.name = name;
      const std::string data = "data of " + name;
      entry.data.assign(data.begin(), data.end());
      entry.packed = name.size() % 2 == 0;
      contents.entries.push_back(entry);
    }
    paktest::WriteFile(Path(file), BuildPak(contents));
  }
};

TEST_F(ExtractTest, UnsafeNamesAreRefusedWhileTheOthersAreExtracted) {
  WritePak("hostile.pak", {"..\\evil.txt", "\\abs.txt", "C:\\drive.txt", "ok\\fine.txt", "a\\..\\..\\up.txt",
                           "表\\ソ.txt", "C:relative.txt"});
  const paktest::RunResult run = Pak({"extract", PathText("hostile.pak"), "-o", PathText("out/inner")});
  EXPECT_EQ(run.code, 1);
  for (const char* refused : {"..\\evil.txt", "\\abs.txt", "C:\\drive.txt", "a\\..\\..\\up.txt", "C:relative.txt"}) {
    EXPECT_NE(run.err.find(std::string("'") + refused + "'"), std::string::npos) << refused << "\n" << run.err;
  }
  EXPECT_EQ(ReadFile(Path("out/inner/ok/fine.txt")), "data of ok\\fine.txt");
  EXPECT_EQ(ReadFile(Path(U8(u8"out/inner/表/ソ.txt"))), "data of 表\\ソ.txt");
  for (const char* outside : {"out/evil.txt", "evil.txt", "up.txt", "out/up.txt", "out/inner/drive.txt"}) {
    EXPECT_FALSE(std::filesystem::exists(Path(outside))) << outside;
  }
  EXPECT_FALSE(std::filesystem::exists("/abs.txt"));
}

TEST_F(ExtractTest, ExistingFilesAreKeptUnlessOverwriteIsGiven) {
  WritePak("a.pak", {"one.txt", "two.txt"});
  ASSERT_EQ(Pak({"extract", PathText("a.pak"), "-o", PathText("out")}).code, 0);
  paktest::WriteFile(Path("out/one.txt"), "edited");

  const paktest::RunResult again = Pak({"extract", PathText("a.pak"), "-o", PathText("out")});
  EXPECT_EQ(again.code, 1);
  EXPECT_NE(again.err.find("'one.txt'"), std::string::npos) << again.err;
  EXPECT_EQ(ReadFile(Path("out/one.txt")), "edited");

  EXPECT_EQ(Pak({"extract", PathText("a.pak"), "-o", PathText("out"), "--overwrite"}).code, 0);
  EXPECT_EQ(ReadFile(Path("out/one.txt")), "data of one.txt");
}

TEST_F(ExtractTest, PatternsSelectEntriesAsTheGameComparesNames) {
  WritePak("a.pak", {"cg\\表ソ.txt", "cg\\a.bin", "script\\x.ini", "CG\\B.TXT"});
  struct Case {
    std::string pattern;
    std::vector<std::string> extracted;  // UTF-8 paths below out/
  };
  const Case cases[] = {{"cg/*.txt", {U8(u8"cg/表ソ.txt"), "CG/B.TXT"}},
                        {U8(u8"CG\\?ソ.TXT"), {U8(u8"cg/表ソ.txt")}},
                        {"*.ini", {"script/x.ini"}}};
  const std::vector<std::string> all = {U8(u8"cg/表ソ.txt"), "cg/a.bin", "script/x.ini", "CG/B.TXT"};
  int round = 0;
  for (const Case& c : cases) {
    const std::string out = "out" + std::to_string(round++);
    ASSERT_EQ(Pak({"extract", PathText("a.pak"), "-o", PathText(out), c.pattern}).code, 0) << c.pattern;
    for (const std::string& path : all) {
      const bool wanted = std::find(c.extracted.begin(), c.extracted.end(), path) != c.extracted.end();
      EXPECT_EQ(std::filesystem::exists(Path(out + "/" + path)), wanted) << c.pattern << " " << path;
    }
    EXPECT_FALSE(std::filesystem::exists(Path(out + "/.pak-manifest.json")));
  }
}

TEST_F(ExtractTest, ListShowsNamesThatAreNotCodePage932EscapedWithTheirBytes) {
  WritePak("a.pak", {"bad\x81\x20name"});
  const paktest::RunResult run = Pak({"list", PathText("a.pak"), "--json"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("\"bad%81 name\""), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"nameHex\": \"62616481206E616D65\""), std::string::npos) << run.out;
}

}  // namespace
