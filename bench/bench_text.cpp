// TextString's growth and formatting beside std::string and snprintf: the
// path building the pak search does, and a long text grown piece by piece.
#include <cstdio>
#include <string>

#include "bench/bench_pairs.h"
#include "bench/bench_suites.h"
#include "text/text_string.h"

namespace {

// A directory and a pak's file name as the search joins them (code page 932).
const char* const kDirectory = "C:\\Games\\港の灯り祭\\data";
const char* const kFileName = "シナリオ第一章.pak";
// 16-byte pieces (8 double-byte characters), appended 4096 times: 64 KiB.
const char* const kPiece = "夕暮れの教室で、";
constexpr int kPieces = 4096;

void RegisterJoin() {
  bench::RegisterPair(
      {"textstring/append-path", "std::string", 0, bench::Informative()},
      [](benchmark::State& state) {
        for (auto _ : state) {
          TextString path;
          path.Assign(kDirectory);
          path.Append("\\");
          path.Append(kFileName);
          benchmark::DoNotOptimize(path.data);
        }
      },
      [](benchmark::State& state) {
        for (auto _ : state) {
          std::string path = kDirectory;
          path += "\\";
          path += kFileName;
          benchmark::DoNotOptimize(path.data());
        }
      });
}

void RegisterGrowth() {
  // Capacity grows in 64-byte steps by design, so a long text is copied
  // again every few appends; std::string doubles.
  bench::RegisterPair(
      {"textstring/append-64KiB", "std::string", 16.0 * kPieces, bench::Informative()},
      [](benchmark::State& state) {
        for (auto _ : state) {
          TextString text;
          for (int i = 0; i < kPieces; ++i) text.Append(kPiece);
          benchmark::DoNotOptimize(text.data);
        }
      },
      [](benchmark::State& state) {
        for (auto _ : state) {
          std::string text;
          for (int i = 0; i < kPieces; ++i) text += kPiece;
          benchmark::DoNotOptimize(text.data());
        }
      });
}

void RegisterFormat() {
  // Format estimates, allocates once and prints; the limit allocates once and
  // prints too, into a buffer known to be large enough.
  bench::RegisterPair(
      {"textstring/format-path", "snprintf into std::string", 0, bench::Informative()},
      [](benchmark::State& state) {
        for (auto _ : state) {
          TextString path;
          path.Format("%s\\%s", kDirectory, kFileName);
          benchmark::DoNotOptimize(path.data);
        }
      },
      [](benchmark::State& state) {
        for (auto _ : state) {
          std::string path(127, '\0');
          const int n = std::snprintf(path.data(), path.size() + 1, "%s\\%s", kDirectory, kFileName);
          path.resize(static_cast<std::size_t>(n));
          benchmark::DoNotOptimize(path.data());
        }
      });
}

}  // namespace

void RegisterTextBenchmarks() {
  RegisterJoin();
  RegisterGrowth();
  RegisterFormat();
}
