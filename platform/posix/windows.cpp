// Windows and dialogs: POSIX has no windows, so dialogs become a console
// exchange on standard error and standard input.
#include <unistd.h>

#include <cctype>
#include <iostream>
#include <string>

#include "platform/platform.h"
#include "platform/shared/seams_state.h"

namespace platform {
namespace {

constexpr unsigned kButtonMask = 0xFu;

// The answer a console line stands for, or 0 for none.
int AnswerOf(const std::string& line) {
  std::string word;
  for (char c : line) {
    if (!std::isspace(static_cast<unsigned char>(c)))
      word.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  }
  if (word == "a") return IDABORT;
  if (word == "r") return IDRETRY;
  if (word == "i") return IDIGNORE;
  return 0;
}

int AskAbortRetryIgnore() {
  std::string line;
  for (;;) {
    std::cerr << "[a]bort, [r]etry, [i]gnore? " << std::flush;
    // At the end of input the default button, Abort, answers.
    if (!std::getline(std::cin, line)) return IDABORT;
    if (const int answer = AnswerOf(line)) return answer;
  }
}

}  // namespace

Window FindWindowA(const char*, const char*) { return nullptr; }

bool SetForegroundWindow(Window) { return false; }

int MessageBoxA(Window owner, const char* text, const char* caption, unsigned type) {
  if (const auto scripted = seams_state::ScriptedMessageBoxAnswer(owner, text, caption, type)) return *scripted;
  std::cerr << AnsiToUtf8(caption != nullptr ? caption : "Error") << '\n'
            << AnsiToUtf8(text != nullptr ? text : "") << '\n'
            << std::flush;
  if ((type & kButtonMask) == MB_ABORTRETRYIGNORE) return AskAbortRetryIgnore();
  return IDOK;
}

void RunEngineWindow(Instance, const char*, const char*, int, int holdSeconds) {
  // Without windows nothing can be closed: "until closed" ends at once.
  unsigned left = holdSeconds > 0 ? static_cast<unsigned>(holdSeconds) : 0;
  while (left > 0) left = sleep(left);
}

}  // namespace platform
