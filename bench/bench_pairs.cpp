// Pair registration and the table reporter: each subject's median beside its
// limit's, the ratio in the target's own terms, and PASS or MISS.
#include "bench/bench_pairs.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

namespace bench {
namespace {

struct Overall {
  std::string name;
  std::vector<std::string> parts;
  Target target;
};

// A row of the table, registered in this order.
struct Row {
  bool overall;
  std::size_t index;
};

std::vector<Pair>& Pairs() {
  static std::vector<Pair> pairs;
  return pairs;
}
std::vector<Overall>& Overalls() {
  static std::vector<Overall> overalls;
  return overalls;
}
std::vector<Row>& Rows() {
  static std::vector<Row> rows;
  return rows;
}

std::string Printf(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string FormatTime(double seconds) {
  if (seconds < 1e-6) return Printf("%.1f ns", seconds * 1e9);
  if (seconds < 1e-3) return Printf("%.2f us", seconds * 1e6);
  if (seconds < 1) return Printf("%.2f ms", seconds * 1e3);
  return Printf("%.3f s", seconds);
}

std::string Figure(double seconds, double bytes) {
  std::string text = FormatTime(seconds);
  if (bytes > 0) text += " (" + Printf("%.0f MB/s", bytes / seconds / 1e6) + ")";
  return text;
}

// Keeps the console output and remembers each benchmark's CPU time per
// iteration: the median when repetitions ran, else the single run.
class TableReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const std::string& name = run.run_name.function_name;
      if (run.error_occurred) {
        errors_[name] = run.error_message;
        continue;
      }
      const double seconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      if (run.run_type == Run::RT_Aggregate) {
        if (run.aggregate_name == "median") medians_[name] = seconds;
      } else if (!medians_.count(name)) {
        singles_[name] = seconds;
      }
    }
  }

  // The table in Markdown; rows whose benchmarks did not run are left out.
  std::string Table() const {
    std::ostringstream out;
    out << "| benchmark | figure | limit | limit figure | ratio | target | result |\n";
    out << "|---|---|---|---|---|---|---|\n";
    for (const Row& row : Rows()) {
      if (row.overall) {
        AddOverall(out, Overalls()[row.index]);
      } else {
        AddPair(out, Pairs()[row.index]);
      }
    }
    return out.str();
  }

 private:
  bool Seconds(const std::string& name, double& seconds) const {
    auto median = medians_.find(name);
    if (median != medians_.end()) {
      seconds = median->second;
      return true;
    }
    auto single = singles_.find(name);
    if (single == singles_.end()) return false;
    seconds = single->second;
    return true;
  }

  static void AddRatio(std::ostringstream& out, double subject, double limit, const Target& target) {
    const bool speed = target.kind == Target::Kind::Speed;
    const double ratio = speed ? limit / subject : subject / limit;
    const char* unit = speed ? "x speed" : "x time";
    out << Printf("%.3f", ratio) << unit << " | ";
    if (target.bound == 0) {
      out << " | - |\n";
      return;
    }
    const bool pass = speed ? ratio >= target.bound : ratio <= target.bound;
    out << (speed ? ">= " : "<= ") << Printf("%.2f", target.bound) << unit << " | " << (pass ? "PASS" : "MISS")
        << " |\n";
  }

  void AddPair(std::ostringstream& out, const Pair& pair) const {
    for (const char* side : {"/subject", "/limit"}) {
      auto error = errors_.find(pair.name + side);
      if (error != errors_.end()) {
        out << "| " << pair.name << " | error: " << error->second << " | " << pair.limitLabel << " | | | | MISS |\n";
        return;
      }
    }
    double subject = 0, limit = 0;
    if (!Seconds(pair.name + "/subject", subject) || !Seconds(pair.name + "/limit", limit)) return;
    out << "| " << pair.name << " | " << Figure(subject, pair.bytesPerOp) << " | " << pair.limitLabel << " | "
        << Figure(limit, pair.bytesPerOp) << " | ";
    AddRatio(out, subject, limit, pair.target);
  }

  void AddOverall(std::ostringstream& out, const Overall& overall) const {
    double subject = 0, limit = 0, bytes = 0;
    for (const std::string& part : overall.parts) {
      double s = 0, l = 0;
      if (!Seconds(part + "/subject", s) || !Seconds(part + "/limit", l)) return;
      subject += s;
      limit += l;
      for (const Pair& pair : Pairs()) {
        if (pair.name == part) bytes += pair.bytesPerOp;
      }
    }
    out << "| " << overall.name << " | " << Figure(subject, bytes) << " | sum of the parts' limits | "
        << Figure(limit, bytes) << " | ";
    AddRatio(out, subject, limit, overall.target);
  }

  std::map<std::string, double> medians_;
  std::map<std::string, double> singles_;
  std::map<std::string, std::string> errors_;
};

}  // namespace

void RegisterPair(const Pair& pair, Body subject, Body limit) {
  Rows().push_back({false, Pairs().size()});
  Pairs().push_back(pair);
  benchmark::RegisterBenchmark((pair.name + "/subject").c_str(), std::move(subject));
  benchmark::RegisterBenchmark((pair.name + "/limit").c_str(), std::move(limit));
}

void RegisterOverall(const std::string& name, const std::vector<std::string>& parts, Target target) {
  Rows().push_back({true, Overalls().size()});
  Overalls().push_back({name, parts, target});
}

int RunAll(int argc, char** argv) {
  std::string tablePath;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--table=", 8) == 0) {
      // Absolute now: the benchmarks change the current directory.
      tablePath = std::filesystem::absolute(argv[i] + 8).string();
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const std::string table = reporter.Table();
  std::cout << '\n' << table << std::flush;
  if (!tablePath.empty()) std::ofstream(tablePath) << table;
  return 0;
}

}  // namespace bench
