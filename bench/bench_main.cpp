// The benchmark program: registers every group, runs them with the table
// reporter, and removes its scratch files at the end.
#include <random>
#include <string>
#include <system_error>

#include "bench/bench_pairs.h"
#include "bench/bench_suites.h"

namespace fs = std::filesystem;

namespace bench {

namespace {

// Owns the scratch directory; the benchmarks change into it, so it is left
// before it is removed.
class Scratch {
 public:
  Scratch() {
    // (<chrono> does not compile with the code page 932 execution charset.)
    path_ = fs::temp_directory_path() / ("oc-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(path_);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  ~Scratch() {
    std::error_code ignored;
    fs::current_path(path_.parent_path(), ignored);
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

}  // namespace

const fs::path& ScratchDirectory() {
  static const Scratch scratch;
  return scratch.path();
}

}  // namespace bench

int main(int argc, char** argv) {
  RegisterCipherBenchmarks();
  RegisterTextBenchmarks();
  RegisterReadBenchmarks();
  RegisterOpenBenchmarks();
  return bench::RunAll(argc, argv);
}
