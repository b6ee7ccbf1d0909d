// The program's arguments, from the wide command line.
#include <memory>

#include "platform/win32/win32_support.h"

namespace platform {
namespace {

struct LocalFreer {
  void operator()(LPWSTR* arguments) const { ::LocalFree(arguments); }
};

std::string ToUtf8(const wchar_t* text) {
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return {};
  std::string utf8(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
  utf8.pop_back();  // the NUL
  return utf8;
}

}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  // argv holds the ANSI form, which loses names outside the code page.
  int count = 0;
  const std::unique_ptr<LPWSTR, LocalFreer> arguments(::CommandLineToArgvW(::GetCommandLineW(), &count));
  std::vector<std::string> result;
  for (int i = 0; i < (arguments ? count : argc); ++i) {
    result.push_back(arguments ? ToUtf8(arguments.get()[i]) : AnsiToUtf8(argv[i]));
  }
  return result;
}

}  // namespace platform
