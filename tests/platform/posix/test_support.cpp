// Scratch folders and child processes for the POSIX platform tests.
#include "tests/platform/posix/test_support.h"

#include <fcntl.h>
#include <ftw.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace platform_test {
namespace {

int RemoveEntry(const char* path, const struct stat*, int, FTW*) { return remove(path); }

void WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = write(fd, text.data() + done, text.size() - done);
    if (written <= 0) return;
    done += static_cast<std::size_t>(written);
  }
}

}  // namespace

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/oc-platform-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = buffer.data();
}

TempDir::~TempDir() { nftw(path_.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS); }

WorkingDirectory::WorkingDirectory(const std::string& path) {
  std::vector<char> buffer(4096);
  if (getcwd(buffer.data(), buffer.size()) == nullptr || chdir(path.c_str()) != 0) {
    throw std::runtime_error("cannot change to " + path);
  }
  previous_ = buffer.data();
}

WorkingDirectory::~WorkingDirectory() {
  if (chdir(previous_.c_str()) != 0) std::abort();
}

ChildProcess::ChildProcess(const std::function<int(const Report& report)>& body, const std::string& input) {
  int in[2];
  int out[2];
  int err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe failed");
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(err[1], STDERR_FILENO);
    close(in[0]);
    close(in[1]);
    close(out[0]);
    close(err[0]);
    close(err[1]);
    const int reportFd = out[1];
    const int code = body([reportFd](const std::string& line) { WriteAll(reportFd, line + "\n"); });
    _exit(code);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  WriteAll(in[1], input);
  close(in[1]);
  reports_ = out[0];
  errors_ = err[0];
}

ChildProcess::~ChildProcess() {
  if (!waited_) {
    Kill();
    Wait();
  }
  close(reports_);
  close(errors_);
}

std::string ChildProcess::ReadReport() {
  std::string line;
  char c = 0;
  while (read(reports_, &c, 1) == 1 && c != '\n') line.push_back(c);
  return line;
}

void ChildProcess::Kill() { kill(pid_, SIGKILL); }

int ChildProcess::Wait() {
  if (!waited_) {
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    waited_ = true;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  return exitCode_;
}

std::string ChildProcess::ErrorOutput() {
  std::string text;
  char chunk[512];
  ssize_t got = 0;
  while ((got = read(errors_, chunk, sizeof chunk)) > 0) text.append(chunk, static_cast<std::size_t>(got));
  return text;
}

}  // namespace platform_test
