// Named events as the single-instance mark: across processes, after a crash,
// and with names that try to leave the event folder.
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/platform/posix/test_support.h"

namespace {

using platform_test::ChildProcess;

std::vector<std::string> Listing(const std::string& path) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(path.c_str())) {
    while (const dirent* item = readdir(dir)) {
      const std::string name = item->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  return names;
}

// Each test gets its own event folder through XDG_RUNTIME_DIR.
class Events : public testing::Test {
 protected:
  void SetUp() override { setenv("XDG_RUNTIME_DIR", runtime_.Path().c_str(), 1); }
  void TearDown() override { unsetenv("XDG_RUNTIME_DIR"); }

  // Creates name and closes it again; the last error of the creation.
  static platform::DWORD CreateAndClose(const char* name) {
    platform::Handle handle = platform::CreateEventA(true, true, name);
    EXPECT_NE(handle, nullptr);
    const platform::DWORD error = platform::GetLastError();
    EXPECT_TRUE(platform::CloseHandle(handle));
    return error;
  }

  platform_test::TempDir runtime_;
};

TEST_F(Events, NameStaysTakenWhileAnyHandleIsOpen) {
  platform::Handle first = platform::CreateEventA(true, true, "GAME");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(platform::GetLastError(), platform::ERROR_SUCCESS);
  platform::Handle second = platform::CreateEventA(true, true, "GAME");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(platform::GetLastError(), platform::ERROR_ALREADY_EXISTS);
  EXPECT_TRUE(platform::CloseHandle(first));
  EXPECT_EQ(CreateAndClose("GAME"), platform::ERROR_ALREADY_EXISTS);
  EXPECT_TRUE(platform::CloseHandle(second));
  EXPECT_EQ(CreateAndClose("GAME"), platform::ERROR_SUCCESS);
}

TEST_F(Events, DistinctNamesDoNotMeet) {
  const char* const names[] = {"a/b", "a\\b", "a%2Fb", "A/B", "\x95\x5C", "\x95"};
  std::vector<platform::Handle> handles;
  for (const char* name : names) {
    handles.push_back(platform::CreateEventA(true, true, name));
    EXPECT_EQ(platform::GetLastError(), platform::ERROR_SUCCESS) << name;
  }
  for (platform::Handle handle : handles) EXPECT_TRUE(platform::CloseHandle(handle));
}

TEST_F(Events, UnnamedEventsAreAlwaysNew) {
  platform::Handle first = platform::CreateEventA(false, false, nullptr);
  platform::Handle second = platform::CreateEventA(false, false, "");
  EXPECT_EQ(platform::GetLastError(), platform::ERROR_SUCCESS);
  EXPECT_TRUE(platform::CloseHandle(first));
  EXPECT_TRUE(platform::CloseHandle(second));
}

TEST_F(Events, ClosingAStrayHandleFails) {
  int notAnEvent = 0;
  EXPECT_FALSE(platform::CloseHandle(&notAnEvent));
  EXPECT_EQ(platform::GetLastError(), platform::ERROR_INVALID_HANDLE);
  EXPECT_FALSE(platform::CloseHandle(nullptr));
}

TEST_F(Events, NamesCannotLeaveTheEventFolder) {
  const std::string escape = "..\\..\\escape";
  const std::string slashes = "../../escape/x";
  platform::Handle first = platform::CreateEventA(true, true, escape.c_str());
  platform::Handle second = platform::CreateEventA(true, true, slashes.c_str());
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(Listing(runtime_.Path()), std::vector<std::string>{"oc-events"});
  for (const std::string& name : Listing(runtime_.Path() + "/oc-events")) {
    EXPECT_NE(name.substr(0, 2), "..") << name;
  }
  EXPECT_TRUE(platform::CloseHandle(first));
  EXPECT_TRUE(platform::CloseHandle(second));
}

TEST_F(Events, VeryLongNamesStillWork) {
  const std::string name(300, '\\');
  EXPECT_EQ(CreateAndClose(name.c_str()), platform::ERROR_SUCCESS);
}

TEST_F(Events, AnotherProcessSeesTheEventUntilItsHolderIsKilled) {
  ChildProcess holder(
      [](const ChildProcess::Report& report) {
        platform::CreateEventA(true, true, "HOLD");
        report(std::to_string(platform::GetLastError()));
        pause();  // holds the event until killed
        return 0;
      },
      "");
  ASSERT_EQ(holder.ReadReport(), "0");
  EXPECT_EQ(CreateAndClose("HOLD"), platform::ERROR_ALREADY_EXISTS);
  holder.Kill();
  EXPECT_EQ(holder.Wait(), -1);
  EXPECT_EQ(CreateAndClose("HOLD"), platform::ERROR_SUCCESS);
}

TEST_F(Events, ASecondProcessIsTheSecondCreator) {
  platform::Handle mine = platform::CreateEventA(true, true, "HOLD");
  ASSERT_EQ(platform::GetLastError(), platform::ERROR_SUCCESS);
  ChildProcess second(
      [](const ChildProcess::Report&) {
        platform::Handle theirs = platform::CreateEventA(true, true, "HOLD");
        return theirs != nullptr && platform::GetLastError() == platform::ERROR_ALREADY_EXISTS ? 0 : 1;
      },
      "");
  EXPECT_EQ(second.Wait(), 0);
  EXPECT_TRUE(platform::CloseHandle(mine));
}

}  // namespace
