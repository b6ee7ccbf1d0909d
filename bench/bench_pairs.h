// Registers each measured operation beside the limit it is held against, and
// prints, after the run, a table of both figures, their ratio and the target.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

namespace bench {

// How a pair's ratio is read: the subject's time against the limit's, or its
// speed (the inverse). A bound of 0 means the pair only informs.
struct Target {
  enum class Kind { Time, Speed };
  Kind kind = Kind::Time;
  double bound = 0;
};

inline Target TimeAtMost(double bound) { return {Target::Kind::Time, bound}; }
inline Target SpeedAtLeast(double bound) { return {Target::Kind::Speed, bound}; }
inline Target Informative() { return {}; }

using Body = std::function<void(benchmark::State&)>;

struct Pair {
  std::string name;        // e.g. "readpacked/script"
  std::string limitLabel;  // e.g. "uncompress"
  double bytesPerOp;       // 0: no throughput column
  Target target;
};

// Registers name/subject and name/limit. Both bodies must process
// bytesPerOp bytes per iteration when that is not 0.
void RegisterPair(const Pair& pair, Body subject, Body limit);
// A row that sums the medians of several pairs (e.g. all entry kinds).
void RegisterOverall(const std::string& name, const std::vector<std::string>& parts, Target target);

// Runs the selected benchmarks with the table reporter. Accepts Google
// Benchmark's flags and --table=FILE (the table in Markdown, also printed).
int RunAll(int argc, char** argv);

}  // namespace bench
