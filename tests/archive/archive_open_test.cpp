// OCArchive::Open and Close: modes, separators, wildcards, directory creation
// and the file-error dialog.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "archive/oc_archive.h"
#include "archive/pak_format.h"
#include "errors/oc_exception.h"
#include "tests/archive/archive_fixture.h"

namespace {

using archive_test::ArchiveTest;
using archive_test::Bytes;
using archive_test::TextOf;
using archive_test::ToBytes;
namespace fs = std::filesystem;

class OpenTest : public ArchiveTest {};

struct ModeCase {
  std::int32_t flags;
  bool readsOldText;
  std::string afterWrite;  // the file once "Z" was written through the archive
};

TEST_F(OpenTest, ModesOpenTheDiskFileAsTheirStreamModeSays) {
  const ModeCase cases[] = {
      {OCArchive::ModeRead, true, "abc"},           {OCArchive::ModeWrite, false, "Z"},
      {OCArchive::ModeAppend, true, "abcZ"},        {3, true, "abc"},  // the unused mode value reads
      {OCArchive::ModeRead | 16 | 32, true, "abc"},
  };
  for (const ModeCase& c : cases) {
    SCOPED_TRACE(c.flags);
    WriteFile("f.txt", ToBytes("abc"));
    {
      OCArchive archive;
      ASSERT_EQ(archive.Open("f.txt", c.flags), 1);
      EXPECT_EQ(archive.position, 0);
      char buffer[8] = {};
      EXPECT_EQ(archive.Read(3, buffer), c.readsOldText ? 3u : 0u);
      // A stream switching from reading to writing needs a seek in between.
      std::fseek(archive.file.get(), 0, SEEK_CUR);
      std::fwrite("Z", 1, 1, archive.file.get());
    }
    const Bytes after = ReadFile("f.txt");
    EXPECT_EQ(std::string(after.begin(), after.end()), c.afterWrite);
  }
  EXPECT_TRUE(dialogs_.empty());
}

TEST_F(OpenTest, PlainNameKeepsTheCallersSpellingAndNormalisesTheRequest) {
  WriteFile("script/product.ini", ToBytes("[x]"));
  OCArchive archive;
  ASSERT_EQ(archive.Open("script/product.ini", 0), 1);
  EXPECT_EQ(TextOf(archive.openedName), "script/product.ini");
  EXPECT_EQ(TextOf(archive.requestName), "script\\product.ini");
  EXPECT_EQ(archive.inPak, 0u);
  EXPECT_EQ(ReadAll(archive), "[x]");
}

TEST_F(OpenTest, WildcardOpensTheFirstFileThatMatches) {
  fs::create_directories("cg/ev00.bmp");  // a directory that matches is passed over
  WriteFile("cg/ev01.bmp", ToBytes("one"));
  WriteFile("cg/ev02.bmp", ToBytes("two"));
  OCArchive archive;
  ASSERT_EQ(archive.Open("cg\\ev*.bmp", 0), 1);
  EXPECT_EQ(TextOf(archive.requestName), "cg\\ev01.bmp");
  EXPECT_EQ(TextOf(archive.openedName), "cg\\ev01.bmp");
  EXPECT_EQ(ReadAll(archive), "one");
}

TEST_F(OpenTest, WildcardWithoutDirectoryOpensTheMatchInTheCurrentDirectory) {
  WriteFile("notes.txt", ToBytes("n"));
  OCArchive archive;
  ASSERT_EQ(archive.Open("*.txt", 0), 1);
  EXPECT_EQ(TextOf(archive.openedName), "notes.txt");
  EXPECT_EQ(ReadAll(archive), "n");
  EXPECT_TRUE(dialogs_.empty());
}

TEST_F(OpenTest, WildcardWithoutDiskMatchSearchesThePaksForTheTextBeforeTheStar) {
  WriteFile("data.pak",
            archive_test::BuildTestPak(1, {{"cg\\title.bmp", ToBytes("t")}, {"cg\\ev01.bmp", ToBytes("e1")}}));
  OCArchive archive;
  ASSERT_EQ(archive.Open("cg/ev*.nothing", 0), 1);
  EXPECT_EQ(TextOf(archive.openedName), "cg\\ev01.bmp");
  EXPECT_EQ(ReadAll(archive), "e1");
}

TEST_F(OpenTest, QuestionMarkIsNoWildcard) {
  WriteFile("ab.txt", ToBytes("disk"));
  WriteFile("data.pak", archive_test::BuildTestPak(1, {{"a?.txt", ToBytes("pak")}}));
  OCArchive archive;
  ASSERT_EQ(archive.Open("a?.txt", 0), 1);
  EXPECT_EQ(archive.inPak, 1u);
  EXPECT_EQ(ReadAll(archive), "pak");
}

TEST_F(OpenTest, WritingModesCreateTheMissingDirectories) {
  for (std::int32_t flags : {OCArchive::ModeWrite, OCArchive::ModeAppend}) {
    SCOPED_TRACE(flags);
    fs::remove_all("save");
    OCArchive archive;
    ASSERT_EQ(archive.Open("save\\game1\\a.dat", flags), 1);
    EXPECT_TRUE(fs::is_regular_file("save/game1/a.dat"));
  }
  EXPECT_TRUE(dialogs_.empty());
}

TEST_F(OpenTest, DirectoryCreationStepsOverDoubleByteCharacters) {
  // 0x95 0x5C: a double-byte character whose trail byte is a backslash.
  const std::string dir = "\x95\x5C";
  OCArchive archive;
  ASSERT_EQ(archive.Open((dir + "\\a.dat").c_str(), OCArchive::ModeWrite), 1);
  const platform::DWORD attributes = platform::GetFileAttributesA(dir.c_str());
  EXPECT_NE(attributes, platform::INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(attributes & platform::FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_NE(platform::GetFileAttributesA((dir + "\\a.dat").c_str()), platform::INVALID_FILE_ATTRIBUTES);
}

TEST_F(OpenTest, SlashOnlyPathCreatesNothingAndShowsTheDialog) {
  AnswerDialogsWith(platform::IDIGNORE);
  OCArchive archive;
  EXPECT_EQ(archive.Open("save/a.dat", OCArchive::ModeWrite), 0);
  EXPECT_FALSE(fs::exists("save"));
  ASSERT_EQ(dialogs_.size(), 1u);
  ExpectNothingOpen(archive);
}

TEST_F(OpenTest, CreateDirectoryChainCreatesEachLevelAndNeverADrive) {
  OCArchive::CreateDirectoryChain("a\\\\b\\c\\");
  EXPECT_TRUE(fs::is_directory("a/b/c"));

  // A leading separator names the root, not the current directory.
  OCArchive::CreateDirectoryChain((RootPath() + "\\abs\\deep").c_str());
  EXPECT_TRUE(fs::is_directory(root_ / "abs" / "deep"));
  EXPECT_FALSE(fs::exists(root_ / root_.relative_path()));
}

TEST_F(OpenTest, IgnoreReturnsZeroWithNothingOpenAndTheDialogNamesThePath) {
  WriteFile("other.txt", ToBytes("x"));
  AnswerDialogsWith(platform::IDIGNORE);
  OCArchive archive;
  ASSERT_EQ(archive.Open("other.txt", 0), 1);
  EXPECT_EQ(archive.Open("missing/file.txt", 0), 0);
  ExpectNothingOpen(archive);
  ASSERT_EQ(dialogs_.size(), 1u);
  EXPECT_EQ(dialogs_[0].text, "ファイル missing/file.txt が開けません。");
  EXPECT_EQ(dialogs_[0].caption, "ファイルエラー");
  EXPECT_EQ(dialogs_[0].type, platform::MB_ABORTRETRYIGNORE | platform::MB_TOPMOST);
}

TEST_F(OpenTest, AbortThrowsTheErrorWithTheCallersPath) {
  AnswerDialogsWith(platform::IDABORT);
  OCArchive archive;
  try {
    archive.Open("gone/x.txt", 0);
    FAIL() << "Abort did not throw";
  } catch (const OCErrorException& error) {
    const std::string message = TextOf(error.message);
    EXPECT_EQ(message, "ファイル gone/x.txt が開けませんでした。");
    // Code page 932: "フ" is 0x83 0x74.
    ASSERT_GE(message.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(message[0]), 0x83);
    EXPECT_EQ(static_cast<unsigned char>(message[1]), 0x74);
  }
  EXPECT_EQ(dialogs_.size(), 1u);
}

TEST_F(OpenTest, RetryOpensTheFileOnceItIsThere) {
  AnswerDialogs([this](std::size_t) {
    WriteFile("late.txt", ToBytes("late"));
    return platform::IDRETRY;
  });
  OCArchive archive;
  ASSERT_EQ(archive.Open("late.txt", 0), 1);
  EXPECT_EQ(dialogs_.size(), 1u);
  EXPECT_EQ(ReadAll(archive), "late");
}

TEST_F(OpenTest, RetryThatStillFindsNothingAsksAgain) {
  AnswerDialogs([](std::size_t index) { return index < 2 ? platform::IDRETRY : platform::IDIGNORE; });
  OCArchive archive;
  EXPECT_EQ(archive.Open("never.txt", 0), 0);
  EXPECT_EQ(dialogs_.size(), 3u);
}

TEST_F(OpenTest, QuietReadFailuresSilenceOnlyTheReadingMode) {
  OCArchive::quietReadFailures = true;
  AnswerDialogsWith(platform::IDIGNORE);
  OCArchive archive;
  EXPECT_EQ(archive.Open("missing.txt", 0), 0);
  EXPECT_TRUE(dialogs_.empty());
  EXPECT_EQ(archive.Open("nodir/x.dat", OCArchive::ModeWrite), 0);
  EXPECT_EQ(dialogs_.size(), 1u);
}

TEST_F(OpenTest, DiskOnlyNeverLooksIntoThePaks) {
  WriteFile("data.pak", archive_test::BuildTestPak(1, {{"inside.txt", ToBytes("i")}}));
  AnswerDialogsWith(platform::IDIGNORE);
  OCArchive archive;
  EXPECT_EQ(archive.Open("inside.txt", OCArchive::FlagDiskOnly), 0);
  EXPECT_EQ(dialogs_.size(), 1u);
  EXPECT_EQ(archive.Open("inside.txt", 0), 1);
}

TEST_F(OpenTest, ExtraPakDirectoriesComeAfterTheCurrentOneUnlessExcluded) {
  fs::create_directories("extra1");
  fs::create_directories("extra2");
  WriteFile("extra1/x.pak", archive_test::BuildTestPak(1, {{"only-extra.txt", ToBytes("first")}}));
  WriteFile("extra2/x.pak", archive_test::BuildTestPak(1, {{"only-extra.txt", ToBytes("second")}}));
  WriteFile("cur.pak", archive_test::BuildTestPak(1, {{"both.txt", ToBytes("current")}}));
  WriteFile("extra1/y.pak", archive_test::BuildTestPak(1, {{"both.txt", ToBytes("extra")}}));
  TextString first;
  first.Assign((RootPath() + "\\extra1").c_str());
  TextString second;
  second.Assign((RootPath() + "\\extra2\\").c_str());
  OCArchive::extraPakDirectories = {first, second};
  AnswerDialogsWith(platform::IDIGNORE);

  OCArchive archive;
  ASSERT_EQ(archive.Open("only-extra.txt", 0), 1);
  EXPECT_EQ(ReadAll(archive), "first");
  ASSERT_EQ(archive.Open("both.txt", 0), 1);
  EXPECT_EQ(ReadAll(archive), "current");
  EXPECT_EQ(archive.Open("only-extra.txt", OCArchive::FlagCurrentDirectoryOnly), 0);
  EXPECT_EQ(dialogs_.size(), 1u);
}

TEST_F(OpenTest, OpenClosesWhatWasOpenFirst) {
  WriteFile("a.txt", ToBytes("aaa"));
  WriteFile("b.txt", ToBytes("b"));
  OCArchive archive;
  ASSERT_EQ(archive.Open("a.txt", 0), 1);
  char byte = 0;
  archive.Read(1, &byte);
  ASSERT_EQ(archive.Open("b.txt", 0), 1);
  EXPECT_EQ(archive.position, 0);
  EXPECT_EQ(archive.Size(), 1u);
  EXPECT_EQ(ReadAll(archive), "b");
  archive.Close();
  ExpectNothingOpen(archive);
  EXPECT_EQ(archive.requestName.data, nullptr);
}

}  // namespace
