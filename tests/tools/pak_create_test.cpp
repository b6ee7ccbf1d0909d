// pak create: what it refuses, and that a failure never harms an existing pak.
#include <nlohmann/json.hpp>

#include "tests/tools/pak_tool_harness.h"

namespace {

using paktest::ReadFile;
using paktest::U8;

class CreateTest : public paktest::PakToolTest {
 protected:
  void SetUp() override {
    PakToolTest::SetUp();
    paktest::WriteFile(Path("src/a.txt"), paktest::Text(4000));
    ASSERT_EQ(Pak({"create", PathText("game.pak"), "--format", "4", "-C", PathText("src"), "a.txt"}).code, 0);
    original_ = ReadFile(Path("game.pak"));
  }

  bool TemporaryFilesLeft() const {
    for (const auto& item : std::filesystem::directory_iterator(dir_)) {
      if (item.path().filename().string().find("pak-tmp") != std::string::npos) return true;
    }
    return false;
  }

  std::string original_;
};

TEST_F(CreateTest, AFailedCreateLeavesTheOldPakIntact) {
  struct Case {
    std::string file;  // made in src/ before the run; "" for none
    std::string argument;
    std::string message;
  };
  // 😀 has no code page 932 form, so it cannot become an entry name.
  const Case cases[] = {{"", "missing.txt", "missing.txt"}, {U8(u8"😀.txt"), U8(u8"😀.txt"), U8(u8"😀.txt")}};
  for (const Case& c : cases) {
    if (!c.file.empty()) paktest::WriteFile(Path("src/" + c.file), "x");
    const paktest::RunResult run =
        Pak({"create", PathText("game.pak"), "--format", "4", "-C", PathText("src"), "a.txt", c.argument});
    EXPECT_EQ(run.code, 1) << c.argument;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(Path("game.pak")), original_);
    EXPECT_FALSE(TemporaryFilesLeft());
  }
}

TEST_F(CreateTest, UsageErrorsExitWithTwoAndWriteNothing) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"bogus"},
      {"list"},
      {"create", PathText("x.pak"), "-C", PathText("src"), "a.txt"},
      {"create", PathText("x.pak"), "--format", "5", "-C", PathText("src"), "a.txt"},
      {"create", PathText("x.pak"), "--format", "0", "--pack", "-C", PathText("src"), "a.txt"},
      {"create", PathText("x.pak"), "--format", "1", "--key", "k", "-C", PathText("src"), "a.txt"},
      {"create", PathText("x.pak"), "--format", "4", "-C", PathText("src"), "../a.txt"},
      {"create", PathText("x.pak"), "--format", "4", "--pack", "--store", "-C", PathText("src"), "a.txt"},
      {"create", PathText("x.pak"), "--format", "4", "--manifest", PathText("src/a.txt")},
      {"list", PathText("src/a.txt")},
  };
  for (const auto& arguments : cases) {
    const paktest::RunResult run = Pak(arguments);
    EXPECT_EQ(run.code, 2) << (arguments.empty() ? "(none)" : arguments[0]) << " " << run.err;
    EXPECT_FALSE(std::filesystem::exists(Path("x.pak")));
  }
}

// Entry names as the pak stores them, in its order.
std::vector<std::string> EntryNames(const nlohmann::json& listing) {
  std::vector<std::string> names;
  for (const nlohmann::json& entry : listing.at("entries")) names.push_back(entry.at("name"));
  return names;
}

TEST_F(CreateTest, EntryNamesHoldNoDotOrEmptyComponents) {
  paktest::WriteFile(Path("src/sub/b.txt"), "b");
  struct Case {
    std::string directory;
    std::vector<std::string> paths;
    std::vector<std::string> names;
  };
  const std::vector<std::string> all = {"a.txt", "sub\\b.txt"};
  const Case cases[] = {{"src", {"."}, all},
                        {"src", {"./"}, all},
                        {"src/.", {"."}, all},
                        {"src//", {"./sub/.", "a.txt"}, all},
                        {"src", {"sub//b.txt", "./a.txt"}, all},
                        {"src", {"sub/./b.txt"}, {"sub\\b.txt"}},
                        {"src", {"sub/../a.txt"}, {"a.txt"}},
                        {"src/sub", {"../a.txt"}, {}}};
  for (const Case& c : cases) {
    std::vector<std::string> arguments = {"create", PathText("x.pak"), "--format", "4", "-C", PathText(c.directory)};
    arguments.insert(arguments.end(), c.paths.begin(), c.paths.end());
    const paktest::RunResult created = Pak(arguments);
    if (c.names.empty()) {
      // Climbing out of the -C directory is refused, naming the path.
      EXPECT_EQ(created.code, 2) << c.paths[0];
      EXPECT_NE(created.err.find(c.paths[0]), std::string::npos) << created.err;
      EXPECT_FALSE(std::filesystem::exists(Path("x.pak")));
      continue;
    }
    ASSERT_EQ(created.code, 0) << c.directory << " " << c.paths[0] << ": " << created.err;
    const paktest::RunResult listed = Pak({"list", PathText("x.pak"), "--json"});
    ASSERT_EQ(listed.code, 0) << listed.err;
    EXPECT_EQ(EntryNames(nlohmann::json::parse(listed.out)), c.names) << c.directory << " " << c.paths[0];
    std::filesystem::remove(Path("x.pak"));
  }
}

TEST_F(CreateTest, NamesThatDifferOnlyInCaseAreRefused) {
  paktest::WriteFile(Path("src/A.TXT"), "other");
  const paktest::RunResult run = Pak({"create", PathText("x.pak"), "--format", "2", "-C", PathText("src"), "."});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("same entry name"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(Path("x.pak")));
}

TEST_F(CreateTest, EverySubcommandHasHelpWithTheExitCodes) {
  for (const char* command : {"list", "extract", "create", "verify", "cat", "locate"}) {
    const paktest::RunResult run = Pak({command, "--help"});
    EXPECT_EQ(run.code, 0) << command;
    EXPECT_NE(run.out.find("Exit codes"), std::string::npos) << command;
  }
  const paktest::RunResult version = Pak({"--version"});
  EXPECT_EQ(version.code, 0);
  EXPECT_NE(version.out.find("pak"), std::string::npos);
}

}  // namespace
