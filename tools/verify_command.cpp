// pak verify: every number of the header and index against the file, and
// every packed entry inflated to its size; one line per problem on stdout.
#include <cstdio>

#include "tools/commands.h"
#include "tools/pak_names.h"
#include "tools/pak_reader.h"
#include "tools/progress.h"

namespace paktool {
namespace {

bool IsPacked(const PakRecord& record) { return record.entry.header.version != 0 && record.entry.packed != 0; }

// Problems of one pak, each printed as "PAK: text".
class PakReport {
 public:
  explicit PakReport(const std::string& pak) : pak_(pak) {}
  void Problem(const std::string& text) {
    std::printf("%s: %s\n", pak_.c_str(), text.c_str());
    ++count_;
  }
  void EntryProblem(const PakRecord& record, const std::string& text) {
    Problem("entry '" + NameToUtf8(record.rawName) + "': " + text);
  }
  int count() const { return count_; }

 private:
  const std::string& pak_;
  int count_ = 0;
};

void VerifyEntries(PakFile& pak, const PakIndex& index, PakReport& report, const Console& console) {
  pak.InflateExactly();
  Progress progress("verifying", index.records.size(), !console.quiet());
  for (const PakRecord& record : index.records) {
    progress.Advance();
    const std::string extent = pak.CheckExtent(record);
    if (!extent.empty()) {
      report.EntryProblem(record, extent);
    } else if (IsPacked(record)) {
      try {
        pak.ReadEntry(record, [](const std::uint8_t*, std::size_t) {});
      } catch (const EntryError& error) {
        report.EntryProblem(record, error.what());
      }
    }
  }
}

// 0 clean, 1 problems, 2 not a file that can be read.
int VerifyOne(const std::string& path, const Console& console) {
  PakReport report(path);
  try {
    PakFile pak(path);
    const PakIndex index = pak.ReadIndex();
    for (const std::string& problem : index.problems) report.Problem(problem);
    VerifyEntries(pak, index, report, console);
    if (report.count() == 0 && !console.quiet()) {
      std::printf("%s: ok, pak version %u, %zu entries\n", path.c_str(), pak.header().version, index.records.size());
    }
  } catch (const PakError& error) {
    report.Problem(error.what());
  }
  return report.count() == 0 ? kExitOk : kExitSomeFailed;
}

}  // namespace

int RunVerify(const VerifyOptions& options, const Console& console) {
  int result = kExitOk;
  for (const std::string& pak : options.paks) {
    if (VerifyOne(pak, console) != kExitOk) result = kExitSomeFailed;
  }
  std::fflush(stdout);
  return result;
}

}  // namespace paktool
