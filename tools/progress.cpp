// Progress bar: redrawn in place with a carriage return when the percentage
// changes, so a pipe or a log file never sees it.
#include "tools/progress.h"

#include <cstdio>

#include "platform/platform.h"

namespace paktool {

Progress::Progress(std::string label, std::uint64_t total, bool enabled)
    : label_(std::move(label)), total_(total), active_(enabled && total != 0 && platform::IsTerminal(stderr)) {
  if (active_) Draw();
}

Progress::~Progress() {
  if (active_) std::fprintf(stderr, "\r%*s\r", static_cast<int>(label_.size()) + 60, "");
}

void Progress::Advance(std::uint64_t count) {
  if (!active_) return;
  std::lock_guard<std::mutex> lock(mutex_);
  done_ += count;
  Draw();
}

void Progress::Draw() {
  const int percent = static_cast<int>(done_ * 100 / total_);
  if (percent == drawnPercent_) return;
  drawnPercent_ = percent;
  constexpr int kWidth = 30;
  const int filled = percent * kWidth / 100;
  std::fprintf(stderr, "\r%s [%.*s%*s] %3d%% %llu/%llu", label_.c_str(), filled, "##############################",
               kWidth - filled, "", percent, static_cast<unsigned long long>(done_),
               static_cast<unsigned long long>(total_));
  std::fflush(stderr);
}

}  // namespace paktool
