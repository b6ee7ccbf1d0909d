// Helpers of the POSIX platform tests: a scratch folder, and a child process
// that gets its own standard input or is killed while it holds something.
#pragma once

#include <functional>
#include <string>

namespace platform_test {

// A fresh folder under the temp folder, removed with all it holds.
class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Changes the working folder for the lifetime of the object.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string& path);
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;
  ~WorkingDirectory();

 private:
  std::string previous_;
};

// Runs body in a forked child. The child reads input on its standard input;
// what it writes to standard error is kept; report(line) sends a line back to
// the parent. body's result is the child's exit code.
class ChildProcess {
 public:
  using Report = std::function<void(const std::string& line)>;
  ChildProcess(const std::function<int(const Report& report)>& body, const std::string& input);
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  // The next reported line, or "" once the child has ended.
  std::string ReadReport();
  void Kill();
  // The exit code, or -1 when the child was killed.
  int Wait();
  // Standard error of the child; call after Wait.
  std::string ErrorOutput();

 private:
  int pid_ = -1;
  int reports_ = -1;
  int errors_ = -1;
  bool waited_ = false;
  int exitCode_ = -1;
};

}  // namespace platform_test
