// Runs the pak binary in a scratch directory and reads what it left behind.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/pak_writer.h"

namespace paktest {

struct RunResult {
  int code = -1;
  std::string out;
  std::string err;
};

// UTF-8 bytes of a u8 literal (plain literals here are code page 932).
std::string U8(const char8_t* text);

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// Bytes that deflate well, and bytes that do not.
std::string Text(std::size_t size);
std::string Noise(std::size_t size, unsigned seed);

// A fresh directory per test, removed afterwards.
class PakToolTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs pak with arguments (UTF-8, each quoted for the shell).
  RunResult Pak(const std::vector<std::string>& arguments) const;
  std::filesystem::path Path(const std::string& utf8) const;
  std::string PathText(const std::string& utf8) const;  // UTF-8 path for arguments

  std::filesystem::path dir_;
};

}  // namespace paktest
