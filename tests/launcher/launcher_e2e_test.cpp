// End-to-end tests of the launcher: the real executable and system.dll, each
// start in a game folder and a Windows directory of its own, dialog answers
// fed through standard input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <random>
#include <string>
#include <thread>  // and its durations: <chrono> itself does not compile with code page 932 literals
#include <vector>

#include "archive/pak_format.h"
#include "archive/pak_writer.h"

namespace fs = std::filesystem;

namespace {

// Narrow literals are code page 932 bytes here, as in the game's files; the
// engine and the dialogs report in UTF-8.
std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string RandomTag() {
  std::random_device device;
  return std::to_string(device()) + "_" + std::to_string(device());
}

// text in single quotes for /bin/sh.
std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return quoted + "'";
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// Polls done every 50 ms for up to seconds.
bool WaitUntil(const std::function<bool()>& done, int seconds) {
  for (int poll = 0; poll < seconds * 20; ++poll) {
    if (done()) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return done();
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

const std::string kProductFile = "[製品情報]\r\nname=HarborLanternFete\r\n";

std::string EngineLine(const std::string& utf8Title) { return "engine run: show=1 title=" + utf8Title + "\n"; }

// How one launcher is started.
struct Start {
  fs::path launcher = LAUNCHER_PATH;
  fs::path windowsDirectory;   // holds game.ini, or not
  std::string input = "true";  // shell command whose output is standard input
  int holdSeconds = 0;         // how long the engine keeps running
};

struct Outcome {
  int exitCode = -1;  // as the shell reports it: 128 + n after signal n
  std::string out;
  std::string err;
};

// A fresh directory tree per test: the game folder (the launcher's current
// directory) and a Windows directory with the test's own game.ini.
class LauncherTest : public ::testing::Test {
 protected:
  LauncherTest() : root_(fs::temp_directory_path() / ("launcher_e2e_" + RandomTag())) {
    fs::create_directories(game_);
    fs::create_directories(windows_);
  }
  ~LauncherTest() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  void WriteProductFile(const std::string& text) { WriteBytes(game_ / "script" / "product.ini", text); }

  // game.ini with an event name of this test's own, so that tests running side
  // by side never take each other for a running copy.
  void WriteGameIni(const fs::path& windowsDirectory, const std::string& title) {
    WriteBytes(windowsDirectory / "game.ini", "[設定]\r\nName=" + eventName_ + "\r\ntitle=" + title + "\r\n");
  }

  Start StartWithGameIni(const std::string& title) {
    WriteGameIni(windows_, title);
    return Start{.windowsDirectory = windows_};
  }

  // The shell command of one start; its outputs go to files named after tag.
  std::string Command(const Start& start, const std::string& tag) const {
    return "cd " + Quote(game_.string()) + " && (" + start.input +
           ") | WINDIR=" + Quote(start.windowsDirectory.string()) +
           " ENGINE_HOLD_SECONDS=" + std::to_string(start.holdSeconds) + " " + Quote(start.launcher.string()) + " >" +
           Quote(OutputPath(tag, "out")) + " 2>" + Quote(OutputPath(tag, "err")) + "; echo $? >" +
           Quote(OutputPath(tag, "rc.part")) + " && mv " + Quote(OutputPath(tag, "rc.part")) + " " +
           Quote(OutputPath(tag, "rc"));
  }

  Outcome Run(const Start& start, const std::string& tag = "run") {
    EXPECT_EQ(std::system(Command(start, tag).c_str()), 0);
    return Collect(tag);
  }

  // Starts a launcher without waiting for it; Finish collects it.
  void RunInBackground(const Start& start, const std::string& tag) {
    const std::string command = "(" + Command(start, tag) + ") </dev/null >/dev/null 2>&1 &";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }

  bool HasPrinted(const std::string& tag, const std::string& text) const {
    return ReadBytes(OutputPath(tag, "out")).find(text) != std::string::npos;
  }

  Outcome Finish(const std::string& tag) {
    EXPECT_TRUE(WaitUntil([&] { return fs::exists(OutputPath(tag, "rc")); }, 60));
    return Collect(tag);
  }

  // A directory with a copy of the launcher and, if given, library as its
  // system.dll: the launcher's own directory is searched first.
  fs::path LauncherBesideLibrary(const std::string& library) {
    const fs::path bin = root_ / "bin";
    fs::create_directories(bin);
    fs::copy_file(LAUNCHER_PATH, bin / "launcher");
    if (!library.empty()) {
      fs::copy_file(library, bin / "system.dll");
    }
    return bin / "launcher";
  }

  const fs::path root_;
  const fs::path game_ = root_ / "game";
  const fs::path windows_ = root_ / "windows";
  const std::string eventName_ = "LauncherTest_" + RandomTag();

 private:
  std::string OutputPath(const std::string& tag, const std::string& kind) const {
    return (root_ / (tag + "." + kind)).string();
  }

  Outcome Collect(const std::string& tag) const {
    Outcome outcome;
    const std::string rc = ReadBytes(OutputPath(tag, "rc"));
    outcome.exitCode = rc.empty() ? -1 : std::atoi(rc.c_str());
    outcome.out = ReadBytes(OutputPath(tag, "out"));
    outcome.err = ReadBytes(OutputPath(tag, "err"));
    return outcome;
  }
};

// ---- Product check ----

struct ProductCase {
  const char* description;
  std::string productFile;
  bool engineStarts;
};
void PrintTo(const ProductCase& productCase, std::ostream* out) { *out << productCase.description; }

class ProductCheckTest : public LauncherTest, public ::testing::WithParamInterface<ProductCase> {};

TEST_P(ProductCheckTest, StartsTheEngineOnlyForThisProductAndNeverSaysWhy) {
  WriteProductFile(GetParam().productFile);
  const Outcome outcome = Run(StartWithGameIni("Harbor"));

  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, GetParam().engineStarts ? EngineLine("Harbor") : "");
  EXPECT_EQ(outcome.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    ProductFiles, ProductCheckTest,
    ::testing::Values(ProductCase{"ExactName", kProductFile, true},
                      ProductCase{"LowerCase", "[製品情報]\r\nname=harborlanternfete\r\n", true},
                      ProductCase{"UpperCaseAmongOtherKeysAndSections",
                                  "[他]\r\nname=Other\r\n[製品情報]\r\nversion=1\r\nname=HARBORLANTERNFETE\r\n", true},
                      ProductCase{"MissingKey", "[製品情報]\r\nversion=1\r\n", false},
                      ProductCase{"EmptyValue", "[製品情報]\r\nname=\r\n", false},
                      ProductCase{"KeyInAnotherSection", "[他]\r\nname=HarborLanternFete\r\n", false},
                      ProductCase{"ShorterName", "[製品情報]\r\nname=HarborLantern\r\n", false},
                      ProductCase{"LongerName", "[製品情報]\r\nname=HarborLanternFeteX\r\n", false},
                      ProductCase{"FullWidthLettersAreOtherLetters",
                                  "[製品情報]\r\nname=ＨａｒｂｏｒＬａｎｔｅｒｎＦｅｔｅ\r\n", false},
                      ProductCase{"EmptyFile", "", false}),
    [](const auto& info) { return std::string(info.param.description); });

// ---- Settings ----

TEST_F(LauncherTest, HandsTheTitleFromGameIniToTheEngine) {
  WriteProductFile(kProductFile);
  const Outcome outcome = Run(StartWithGameIni("港のランタン祭"));

  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, EngineLine(Utf8(u8"港のランタン祭")));
}

TEST_F(LauncherTest, CutsALongTitleTo99Bytes) {
  std::string title;
  std::string expected;
  for (int i = 0; i < 20; ++i) {
    title += "灯";
    expected += Utf8(u8"灯");
  }
  ASSERT_EQ(title.size(), 40u);
  title += std::string(80, 'a');
  expected += std::string(59, 'a');
  WriteProductFile(kProductFile);

  const Outcome outcome = Run(StartWithGameIni(title));

  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, EngineLine(expected));
}

// The only test that uses the default event name "GAME": it could meet
// another copy of the game on this machine, so it stays alone.
TEST_F(LauncherTest, WithoutGameIniTheEngineGetsTheDefaultTitleAndTheEventIsGame) {
  WriteProductFile(kProductFile);
  RunInBackground(Start{.windowsDirectory = windows_, .holdSeconds = 5}, "first");
  ASSERT_TRUE(WaitUntil([&] { return HasPrinted("first", "engine run"); }, 30));

  const fs::path otherWindows = root_ / "other_windows";
  WriteBytes(otherWindows / "game.ini", "[設定]\r\nName=GAME\r\ntitle=x\r\n");
  const Outcome second = Run(Start{.windowsDirectory = otherWindows}, "second");
  const Outcome first = Finish("first");

  EXPECT_EQ(first.exitCode, 0);
  EXPECT_EQ(first.out, EngineLine(Utf8(u8"テスト")));
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_EQ(second.out, "");
}

// ---- Single instance ----

TEST_F(LauncherTest, ASecondCopyStartsNoEngineWhileTheFirstRuns) {
  WriteProductFile(kProductFile);
  const Start start = StartWithGameIni("Harbor");
  RunInBackground(Start{.windowsDirectory = windows_, .holdSeconds = 5}, "first");
  ASSERT_TRUE(WaitUntil([&] { return HasPrinted("first", "engine run"); }, 30));

  const Outcome second = Run(start, "second");
  // Another game (another event name) is not held back by the first.
  const fs::path otherWindows = root_ / "other_windows";
  WriteBytes(otherWindows / "game.ini", "[設定]\r\nName=" + eventName_ + "_other\r\ntitle=Other\r\n");
  const Outcome other = Run(Start{.windowsDirectory = otherWindows}, "other");
  const Outcome first = Finish("first");
  // Once the first copy has ended, the game starts again.
  const Outcome again = Run(start, "again");

  EXPECT_EQ(first.exitCode, 0);
  EXPECT_EQ(first.out, EngineLine("Harbor"));
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_EQ(second.out, "");
  EXPECT_EQ(second.err, "");
  EXPECT_EQ(other.out, EngineLine("Other"));
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_EQ(again.out, EngineLine("Harbor"));
}

// ---- Engine library ----

struct LibraryCase {
  const char* description;
  std::string library;  // placed beside the launcher as system.dll; "" for none
  bool engineRuns;
  bool loadErrorShown;
};
void PrintTo(const LibraryCase& libraryCase, std::ostream* out) { *out << libraryCase.description; }

class EngineLibraryTest : public LauncherTest, public ::testing::WithParamInterface<LibraryCase> {};

TEST_P(EngineLibraryTest, CallsRunOnlyWhenTheLibraryExportsIt) {
  WriteProductFile(kProductFile);
  Start start = StartWithGameIni("Harbor");
  start.launcher = LauncherBesideLibrary(GetParam().library);

  const Outcome outcome = Run(start);

  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, GetParam().engineRuns ? EngineLine("Harbor") : "");
  EXPECT_EQ(outcome.err.find(Utf8(u8"DLLをロードできません。")) != std::string::npos, GetParam().loadErrorShown)
      << outcome.err;
  EXPECT_EQ(outcome.err.find("library load error") != std::string::npos, GetParam().loadErrorShown) << outcome.err;
}

INSTANTIATE_TEST_SUITE_P(Libraries, EngineLibraryTest,
                         ::testing::Values(LibraryCase{"TheEngine", ENGINE_PATH, true, false},
                                           LibraryCase{"NoLibrary", "", false, true},
                                           LibraryCase{"LibraryWithoutRun", ENGINE_WITHOUT_ENTRY_PATH, false, false}),
                         [](const auto& info) { return std::string(info.param.description); });

// ---- Product file inside a pak ----

// The section header at the start and the name after the first 1024 bytes:
// both ends of an entry's enciphered head have to be read right.
std::string LongProductFile() {
  std::string text = "[製品情報]\r\n";
  for (int line = 0; text.size() < 1100; ++line) {
    text += "remark" + std::to_string(line) + "=灯籠\r\n";
  }
  return text + "name=HarborLanternFete\r\n";
}

std::vector<std::uint8_t> ToBytes(const std::string& text) { return {text.begin(), text.end()}; }
std::string ToText(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// A pak whose second entry is the product file; versions 2 to 4 keep keyText,
// 3 and 4 encipher with it.
std::string ProductPak(std::uint32_t version, bool packed, const std::string& keyText) {
  PakContents contents;
  contents.version = version;
  contents.keyText = keyText;
  contents.sizeKey = 0x5A17C3E9u;
  contents.entries.push_back({.name = "script\\other.ini", .data = ToBytes("[他]\r\nname=Other\r\n"), .packed = packed});
  contents.entries.push_back({.name = "script\\product.ini", .data = ToBytes(LongProductFile()), .packed = packed});
  return ToText(BuildPak(contents));
}

const std::string kKeyText = "港の灯籠";

struct PakCase {
  const char* description;
  std::uint32_t version;
  bool packed;
  std::string keyText;
};
void PrintTo(const PakCase& pakCase, std::ostream* out) { *out << pakCase.description; }

class ProductInPakTest : public LauncherTest, public ::testing::WithParamInterface<PakCase> {};

TEST_P(ProductInPakTest, StartsTheEngine) {
  WriteBytes(game_ / "data.pak", ProductPak(GetParam().version, GetParam().packed, GetParam().keyText));
  const Outcome outcome = Run(StartWithGameIni("Harbor"));

  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, EngineLine("Harbor"));
  EXPECT_EQ(outcome.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Versions, ProductInPakTest,
    ::testing::Values(PakCase{"Version0", 0, false, ""}, PakCase{"Version1Stored", 1, false, ""},
                      PakCase{"Version1Packed", 1, true, ""}, PakCase{"Version2Stored", 2, false, kKeyText},
                      PakCase{"Version2Packed", 2, true, kKeyText}, PakCase{"Version3Stored", 3, false, kKeyText},
                      PakCase{"Version3Packed", 3, true, kKeyText}, PakCase{"Version4Stored", 4, false, kKeyText},
                      PakCase{"Version4Packed", 4, true, kKeyText}),
    [](const auto& info) { return std::string(info.param.description); });

// Each damaged pak holds the product file too, so a search that took it
// instead of passing it over would not find this product.
struct DamagedPakCase {
  const char* description;
  std::string pak;
};
void PrintTo(const DamagedPakCase& damagedCase, std::ostream* out) { *out << damagedCase.description; }

std::string WithVersion(std::string pak, char version) {
  pak[0] = version;
  return pak;
}

class DamagedPakTest : public LauncherTest, public ::testing::WithParamInterface<DamagedPakCase> {};

TEST_P(DamagedPakTest, IsPassedOverForTheGoodPakAfterIt) {
  WriteBytes(game_ / "a_damaged.pak", GetParam().pak);
  WriteBytes(game_ / "b_good.pak", ProductPak(2, true, ""));
  const Outcome outcome = Run(StartWithGameIni("Harbor"));

  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, EngineLine("Harbor"));
  EXPECT_EQ(outcome.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Paks, DamagedPakTest,
    ::testing::Values(DamagedPakCase{"TruncatedInTheHeader", ProductPak(4, false, kKeyText).substr(0, 200)},
                      DamagedPakCase{"TruncatedInTheIndex", ProductPak(1, false, "").substr(0, 20)},
                      DamagedPakCase{"TruncatedInTheData",
                                     [] {
                                       const std::string pak = ProductPak(3, false, kKeyText);
                                       return pak.substr(0, pak.size() - 10);
                                     }()},
                      DamagedPakCase{"Version0TruncatedInTheData",
                                     [] {
                                       const std::string pak = ProductPak(0, false, "");
                                       return pak.substr(0, pak.size() - 10);
                                     }()},
                      DamagedPakCase{"Version7", WithVersion(ProductPak(4, true, kKeyText), 7)}),
    [](const auto& info) { return std::string(info.param.description); });

// The decompression error leaves the search and the launcher catches it at
// its entry: no engine, no dialog, a normal end.
class IndexThatDoesNotInflateTest : public LauncherTest, public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(IndexThatDoesNotInflateTest, EndsTheLauncherQuietly) {
  std::string pak = ProductPak(GetParam(), true, kKeyText);
  // 0xFFFF is no zlib stream header.
  pak[PakIndexStart(GetParam())] = '\xFF';
  pak[PakIndexStart(GetParam()) + 1] = '\xFF';
  WriteBytes(game_ / "data.pak", pak);
  const Outcome outcome = Run(StartWithGameIni("Harbor"));

  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err, "");
}

INSTANTIATE_TEST_SUITE_P(Versions, IndexThatDoesNotInflateTest, ::testing::Values(1u, 2u, 3u, 4u),
                         [](const auto& info) { return "Version" + std::to_string(info.param); });

// ---- Missing product file: the file-error dialog ----

const std::string kDialogText = Utf8(u8"ファイル script\\product.ini が開けません。");

TEST_F(LauncherTest, IgnoreEndsTheLauncherQuietly) {
  Start start = StartWithGameIni("Harbor");
  start.input = "echo i";

  const Outcome outcome = Run(start);

  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(Occurrences(outcome.err, kDialogText), 1u) << outcome.err;
}

TEST_F(LauncherTest, AbortEndsTheLauncherWithoutACrash) {
  Start start = StartWithGameIni("Harbor");
  start.input = "echo a";

  const Outcome outcome = Run(start);

  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(Occurrences(outcome.err, kDialogText), 1u) << outcome.err;
}

TEST_F(LauncherTest, RetryFindsTheProductFilePutInPlaceMeanwhile) {
  const fs::path spare = root_ / "spare_product.ini";
  WriteBytes(spare, kProductFile);
  Start start = StartWithGameIni("Harbor");
  start.input = "sleep 1; mkdir -p script; cp " + Quote(spare.string()) + " script/product.ini; echo r";

  const Outcome outcome = Run(start);

  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, EngineLine("Harbor"));
  EXPECT_EQ(Occurrences(outcome.err, kDialogText), 1u) << outcome.err;
}

}  // namespace
