// A progress bar on stderr, drawn only when stderr is a terminal.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

namespace paktool {

class Progress {
 public:
  // Draws nothing unless enabled and stderr is a terminal.
  Progress(std::string label, std::uint64_t total, bool enabled);
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;
  ~Progress();  // clears the bar's line

  // Safe from any thread.
  void Advance(std::uint64_t count = 1);

 private:
  void Draw();

  std::mutex mutex_;
  std::string label_;
  std::uint64_t total_;
  std::uint64_t done_ = 0;
  int drawnPercent_ = -1;
  bool active_;
};

}  // namespace paktool
