// Output conventions of the pak tool: data on stdout, messages on stderr,
// and the exit codes every subcommand shares.
#pragma once

#include <string>

namespace paktool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitSomeFailed = 1;  // some entries failed or were refused
inline constexpr int kExitUnusable = 2;    // usage error, or input that cannot be used

// The text every --help ends with.
extern const char* const kExitCodeHelp;

class Console {
 public:
  explicit Console(bool quiet) : quiet_(quiet) {}
  bool quiet() const { return quiet_; }
  // An informational line on stderr; -q silences it.
  void Note(const std::string& text) const;
  // A problem on stderr; always shown, since it explains the exit code.
  void Error(const std::string& text) const;

 private:
  bool quiet_;
};

}  // namespace paktool
