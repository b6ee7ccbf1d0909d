// Scratch directories and runs of the pak binary for the tool's tests.
#include "tests/tools/pak_tool_harness.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace paktest {

namespace fs = std::filesystem;

std::string U8(const char8_t* text) {
  std::u8string s(text);
  return std::string(s.begin(), s.end());
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

std::string Text(std::size_t size) {
  std::string text;
  for (int line = 0; text.size() < size; ++line) text += "line " + std::to_string(line) + " of the script\n";
  text.resize(size);
  return text;
}

std::string Noise(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes;
}

void PakToolTest::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "_" + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  dir_ = fs::temp_directory_path() / ("pak_tool_tests_" + name + "_" + std::to_string(std::random_device{}()));
  fs::remove_all(dir_);
  fs::create_directories(dir_);
}

void PakToolTest::TearDown() {
  std::error_code error;
  fs::remove_all(dir_, error);
}

fs::path PakToolTest::Path(const std::string& utf8) const {
  return dir_ / fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PakToolTest::PathText(const std::string& utf8) const {
  const std::u8string text = Path(utf8).u8string();
  return std::string(text.begin(), text.end());
}

RunResult PakToolTest::Pak(const std::vector<std::string>& arguments) const {
  const fs::path out = dir_ / ".run-out";
  const fs::path err = dir_ / ".run-err";
  std::string command = "\"" PAK_TOOL_PATH "\"";
  for (const std::string& argument : arguments) command += " \"" + argument + "\"";
  const std::u8string outText = out.u8string();
  const std::u8string errText = err.u8string();
  command += " >\"" + std::string(outText.begin(), outText.end()) + "\" 2>\"" +
             std::string(errText.begin(), errText.end()) + "\"";
  const int status = std::system(command.c_str());
  RunResult result;
  // A POSIX shell reports exit code c as c * 256; Windows gives c itself.
  result.code = status > 255 ? status >> 8 : status;
  result.out = ReadFile(out);
  result.err = ReadFile(err);
  fs::remove(out);
  fs::remove(err);
  return result;
}

}  // namespace paktest
