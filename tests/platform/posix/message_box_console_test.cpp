// MessageBoxA without a handler: a console exchange on standard error and
// standard input, run in a child process that gets the answers as input.
#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "platform/platform.h"
#include "tests/platform/posix/test_support.h"

namespace {

using platform_test::ChildProcess;

int AskInChild(const std::string& input, unsigned type) {
  ChildProcess child(
      [type](const ChildProcess::Report&) { return platform::MessageBoxA(nullptr, "text", "caption", type); }, input);
  return child.Wait();
}

TEST(MessageBoxConsole, AbortRetryIgnoreReadsAnAnswerLine) {
  struct Case {
    std::string input;
    int answer;
  };
  const Case cases[] = {
      {"r\n", platform::IDRETRY},     {"I\n", platform::IDIGNORE},
      {" a \r\n", platform::IDABORT}, {"x\nretry\n\ni\n", platform::IDIGNORE},  // other lines ask again
      {"", platform::IDABORT},                                                  // end of input: the default button
      {"what?\n", platform::IDABORT},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AskInChild(c.input, platform::MB_ABORTRETRYIGNORE | platform::MB_TOPMOST), c.answer) << c.input;
  }
}

TEST(MessageBoxConsole, OkReadsNothingAndShowsTheTextsInUtf8) {
  ChildProcess child(
      [](const ChildProcess::Report&) {
        const int answer =
            platform::MessageBoxA(nullptr, "DLLをロードできません。", "library load error", platform::MB_OK);
        std::string line;
        std::getline(std::cin, line);
        return answer == platform::IDOK && line == "untouched" ? 0 : 1;
      },
      "untouched\n");
  EXPECT_EQ(child.Wait(), 0);
  const std::string shown = child.ErrorOutput();
  EXPECT_NE(shown.find("library load error"), std::string::npos);
  EXPECT_NE(shown.find(reinterpret_cast<const char*>(u8"DLLをロードできません。")), std::string::npos) << shown;
}

}  // namespace
