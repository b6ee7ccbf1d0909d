// Libraries are found as Windows finds them: beside the program first, then
// the system's places, then the current directory.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "platform/seams.h"
#include "tests/platform/posix/test_support.h"

namespace {

using ProbeFunction = int (*)();

// The value of the loaded copy's ProbeValue, or 0.
int ProbeOf(platform::Module module) {
  void* address = platform::GetProcAddress(module, "ProbeValue");
  return address == nullptr ? 0 : reinterpret_cast<ProbeFunction>(address)();
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// OC_PROBE_CWD holds a second oc_probe.dll (2) and oc_probe_cwd_only.dll (3);
// the copy beside the test program answers 1.
class Libraries : public testing::Test {
 protected:
  platform_test::WorkingDirectory inProbeFolder_{OC_PROBE_CWD};
};

TEST_F(Libraries, TheProgramFolderComesBeforeTheCurrentDirectory) {
  EXPECT_EQ(platform::GetModuleHandleA("oc_probe.dll"), nullptr);
  platform::Module module = platform::LoadLibraryExA("oc_probe.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(ProbeOf(module), 1);
  const std::string path = platform::seams::LastLoadedLibraryPath();
  EXPECT_TRUE(EndsWith(path, "/oc_probe.dll")) << path;
  EXPECT_EQ(path.find(OC_PROBE_CWD), std::string::npos) << path;
  EXPECT_EQ(platform::GetModuleHandleA("oc_probe.dll"), module);
  EXPECT_EQ(platform::GetModuleHandleA("OC_PROBE"), nullptr);  // file names on POSIX keep their case
  EXPECT_TRUE(platform::FreeLibrary(module));
  EXPECT_EQ(platform::GetModuleHandleA("oc_probe.dll"), nullptr);
}

TEST_F(Libraries, NamesWithoutExtensionGetDll) {
  platform::Module module = platform::LoadLibraryExA("oc_probe");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(ProbeOf(module), 1);
  EXPECT_TRUE(platform::FreeLibrary(module));
}

TEST_F(Libraries, TheCurrentDirectoryIsSearchedLast) {
  platform::Module module = platform::LoadLibraryExA("oc_probe_cwd_only.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(ProbeOf(module), 3);
  EXPECT_TRUE(EndsWith(platform::seams::LastLoadedLibraryPath(), "/oc_probe_cwd_only.dll"));
  EXPECT_TRUE(platform::FreeLibrary(module));
}

TEST_F(Libraries, ANameWithADirectoryIsLoadedFromThere) {
  platform::Module module = platform::LoadLibraryExA(".\\oc_probe.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(ProbeOf(module), 2);
  EXPECT_TRUE(platform::FreeLibrary(module));
}

TEST_F(Libraries, TheLoaderFindsSystemLibraries) {
  platform::Module module = platform::LoadLibraryExA("libm.so.6");
  ASSERT_NE(module, nullptr);
  EXPECT_NE(platform::GetProcAddress(module, "cos"), nullptr);
  EXPECT_NE(platform::seams::LastLoadedLibraryPath().find("libm"), std::string::npos);
  EXPECT_TRUE(platform::FreeLibrary(module));
}

TEST_F(Libraries, FailuresSayWhy) {
  EXPECT_EQ(platform::LoadLibraryExA("oc_missing.dll"), nullptr);
  EXPECT_EQ(platform::GetLastError(), platform::ERROR_MOD_NOT_FOUND);
  platform::Module module = platform::LoadLibraryExA("oc_probe.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(platform::GetProcAddress(module, "NoSuchFunction"), nullptr);
  EXPECT_EQ(platform::GetLastError(), platform::ERROR_PROC_NOT_FOUND);
  EXPECT_TRUE(platform::FreeLibrary(module));
  EXPECT_NE(platform::GetModuleHandleA(nullptr), nullptr);
}

}  // namespace
