// The benchmark groups; main registers them in this order, which is the
// order of the table.
#pragma once

#include <filesystem>

namespace bench {

// A scratch directory for the benchmarks' files, removed when the run ends.
const std::filesystem::path& ScratchDirectory();

}  // namespace bench

void RegisterCipherBenchmarks();
void RegisterTextBenchmarks();
void RegisterReadBenchmarks();
void RegisterOpenBenchmarks();
