// The message box seam: a test scripts the dialog's answer.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "platform/seams.h"

namespace {

TEST(MessageBoxSeam, HandlerAnswersAndSeesTheArguments) {
  std::string seenText;
  std::string seenCaption;
  unsigned seenType = 0;
  platform::seams::SetMessageBoxHandler([&](platform::Window, const char* text, const char* caption, unsigned type) {
    seenText = text;
    seenCaption = caption;
    seenType = type;
    return platform::IDRETRY;
  });
  const unsigned type = platform::MB_ABORTRETRYIGNORE | platform::MB_TOPMOST;
  const int answer = platform::MessageBoxA(nullptr, "\x95\x5C", "caption", type);
  platform::seams::SetMessageBoxHandler({});
  EXPECT_EQ(answer, platform::IDRETRY);
  EXPECT_EQ(seenText, "\x95\x5C");
  EXPECT_EQ(seenCaption, "caption");
  EXPECT_EQ(seenType, type);
}

}  // namespace
