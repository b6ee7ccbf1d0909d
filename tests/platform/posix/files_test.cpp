// Files through the layer: code page 932 names with 0x5C trail bytes land in
// the UTF-8 file system, listings match and order as on Windows.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/platform/posix/test_support.h"

namespace {

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

bool IsDirectory(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool IsFile(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

struct Found {
  std::string name;
  bool directory;
  bool operator==(const Found&) const = default;
};

// Every match of pattern, in listing order.
std::vector<Found> List(const char* pattern) {
  std::vector<Found> found;
  platform::FindData data;
  platform::FindHandle handle = platform::FindFirstFileA(pattern, &data);
  if (handle == platform::INVALID_FIND_HANDLE) return found;
  do {
    found.push_back({data.fileName, (data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (platform::FindNextFileA(handle, &data));
  EXPECT_EQ(platform::GetLastError(), platform::ERROR_NO_MORE_FILES);
  EXPECT_TRUE(platform::FindClose(handle));
  return found;
}

void Touch(const char* path) {
  std::FILE* file = platform::OpenFile(path, "wb");
  ASSERT_NE(file, nullptr) << path;
  std::fclose(file);
}

class Files : public testing::Test {
 protected:
  platform_test::TempDir temp_;
  platform_test::WorkingDirectory inTemp_{temp_.Path()};
};

TEST_F(Files, JapaneseNamesWithBackslashTrailBytesReachTheFileSystem) {
  // "表" and "ソ" end in 0x5C: split byte-wise they would become separators.
  EXPECT_FALSE(platform::CreateDirectoryA("表\\ソ"));
  ASSERT_TRUE(platform::CreateDirectoryA("表"));
  ASSERT_TRUE(platform::CreateDirectoryA("表\\ソ"));
  EXPECT_FALSE(platform::CreateDirectoryA("表\\ソ"));
  EXPECT_EQ(platform::GetLastError(), platform::ERROR_ALREADY_EXISTS);
  Touch("表\\ソ\\能.txt");
  EXPECT_TRUE(IsDirectory(temp_.Path() + Utf8(u8"/表/ソ")));
  EXPECT_TRUE(IsFile(temp_.Path() + Utf8(u8"/表/ソ/能.txt")));
  std::FILE* again = platform::OpenFile("表/ソ/能.txt", "rb");
  EXPECT_NE(again, nullptr);
  if (again != nullptr) std::fclose(again);
  EXPECT_EQ(List("表\\ソ\\*.txt"), (std::vector<Found>{{"能.txt", false}}));
}

TEST_F(Files, AttributesOfDirectoriesFilesAndMissingPaths) {
  ASSERT_TRUE(platform::CreateDirectoryA("dir"));
  Touch("dir\\file.bin");
  EXPECT_EQ(platform::GetFileAttributesA("dir"), platform::FILE_ATTRIBUTE_DIRECTORY);
  const platform::DWORD file = platform::GetFileAttributesA("dir\\file.bin");
  EXPECT_NE(file, 0u);
  EXPECT_NE(file, platform::INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(file & platform::FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(platform::GetFileAttributesA("dir/file.bin"), file);
  EXPECT_EQ(platform::GetFileAttributesA("dir\\missing"), platform::INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(platform::GetLastError(), platform::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(platform::GetFileAttributesA("C:\\dir"), platform::INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(platform::OpenFile("dir\\missing", "rb"), nullptr);
}

TEST_F(Files, NamesResolveWithoutRegardToCaseAsOnWindows) {
  ASSERT_TRUE(platform::CreateDirectoryA("Script"));
  Touch("Script\\product.ini");
  ASSERT_TRUE(platform::CreateDirectoryA("ＡＢ"));
  EXPECT_NE(platform::GetFileAttributesA("script\\PRODUCT.INI"), platform::INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(platform::GetFileAttributesA("ａｂ"), platform::INVALID_FILE_ATTRIBUTES);
  std::FILE* file = platform::OpenFile("SCRIPT/Product.ini", "rb");
  EXPECT_NE(file, nullptr);
  if (file != nullptr) std::fclose(file);
  // A new file goes into the directory that exists under another case.
  Touch("SCRIPT\\new.txt");
  EXPECT_TRUE(IsFile(temp_.Path() + "/Script/new.txt"));
  EXPECT_FALSE(platform::CreateDirectoryA("script"));
  EXPECT_EQ(platform::GetLastError(), platform::ERROR_ALREADY_EXISTS);
  EXPECT_EQ(platform::GetFileAttributesA("script\\missing.ini"), platform::INVALID_FILE_ATTRIBUTES);
}

TEST_F(Files, PatternsMatchCharacterWiseWithoutCaseInNameOrder) {
  ASSERT_TRUE(platform::CreateDirectoryA("d"));
  for (const char* name :
       {"d\\b.pak", "d\\A.pak", "d\\c.PAK", "d\\a_1.pak", "d\\readme.txt", "d\\表.pak", "d\\ab.pak"}) {
    Touch(name);
  }
  ASSERT_TRUE(platform::CreateDirectoryA("d\\x.pak"));
  struct Case {
    const char* pattern;
    std::vector<Found> expected;
  };
  const std::vector<Case> cases = {
      {"d\\*.pak",
       {{"A.pak", false},  // NTFS orders upper-cased names: "B" (0x42) before "_" (0x5F)
        {"ab.pak", false},
        {"a_1.pak", false},
        {"b.pak", false},
        {"c.PAK", false},
        {"x.pak", true},
        {"表.pak", false}}},
      {"d/?.PAK", {{"A.pak", false}, {"b.pak", false}, {"c.PAK", false}, {"x.pak", true}, {"表.pak", false}}},
      {"d\\README.TXT", {{"readme.txt", false}}},
      {"d\\*e*", {{"readme.txt", false}}},
      {"d\\readme.*", {{"readme.txt", false}}},
      {"d\\*.zip", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(List(c.pattern), c.expected) << c.pattern;
}

TEST_F(Files, StarListsTheDotEntriesFirst) {
  ASSERT_TRUE(platform::CreateDirectoryA("d"));
  Touch("d\\f");
  EXPECT_EQ(List("d\\*"), (std::vector<Found>{{".", true}, {"..", true}, {"f", false}}));
  EXPECT_EQ(List("d\\*.*"), (std::vector<Found>{{".", true}, {"..", true}, {"f", false}}));
}

TEST_F(Files, FailedSearchesSayWhy) {
  platform::FindData data;
  EXPECT_EQ(platform::FindFirstFileA("missing\\*", &data), platform::INVALID_FIND_HANDLE);
  EXPECT_EQ(platform::GetLastError(), platform::ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(platform::FindFirstFileA("*.nothing", &data), platform::INVALID_FIND_HANDLE);
  EXPECT_EQ(platform::GetLastError(), platform::ERROR_FILE_NOT_FOUND);
}

TEST_F(Files, CurrentDirectoryComesBackWithBackslashesAndIsUsable) {
  ASSERT_TRUE(platform::CreateDirectoryA("表"));
  platform_test::WorkingDirectory inside(temp_.Path() + Utf8(u8"/表"));
  std::string expected = platform::Utf8ToAnsi(temp_.Path()) + "\\表";
  std::replace(expected.begin(), expected.end(), '/', '\\');
  char buffer[512];
  EXPECT_EQ(platform::GetCurrentDirectoryA(sizeof buffer, buffer), expected.size());
  EXPECT_EQ(std::string(buffer), expected);
  EXPECT_EQ(platform::GetCurrentDirectoryA(4, buffer), expected.size() + 1);
  EXPECT_EQ(platform::GetFileAttributesA(expected.c_str()), platform::FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(Files, NoDriveAnswers) {
  platform::DWORD length = 0;
  platform::DWORD flags = 0;
  EXPECT_FALSE(platform::GetVolumeInformationA("C:\\", &length, &flags));
}

}  // namespace
