// Shared fixture of the archive tests: a scratch game directory made current
// for one test, scripted file-error dialogs, and small paks laid out field by
// field so that any number in them can be damaged.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "archive/oc_archive.h"
#include "archive/pak_format.h"
#include "archive/pak_writer.h"
#include "encryption/cipher_registry.h"
#include "platform/seams.h"

namespace archive_test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

inline std::string TextOf(const TextString& text) { return text.data != nullptr ? text.data : ""; }

// Pseudo-random bytes that deflate barely shrinks.
inline Bytes NoiseBytes(std::size_t count, std::uint32_t seed) {
  std::mt19937 generator(seed);
  Bytes bytes(count);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>(generator());
  return bytes;
}

inline Bytes Deflate(const Bytes& plain) {
  uLongf length = compressBound(static_cast<uLong>(plain.size()));
  Bytes packed(length);
  EXPECT_EQ(compress2(packed.data(), &length, plain.data(), static_cast<uLong>(plain.size()), 6), Z_OK);
  packed.resize(length);
  return packed;
}

// What one dialog showed.
struct Dialog {
  std::string text;
  std::string caption;
  unsigned type;
};

class ArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::random_device seed;
    do {
      root_ = std::filesystem::temp_directory_path() / ("oc_archive_test_" + std::to_string(seed()));
    } while (!std::filesystem::create_directory(root_));
    std::filesystem::current_path(root_);
    OCArchive::quietReadFailures = false;
    OCArchive::extraPakDirectories.clear();
    // No test may wait for a real answer; tests that need another one say so.
    AnswerDialogsWith(platform::IDIGNORE);
  }

  void TearDown() override {
    platform::seams::SetMessageBoxHandler({});
    platform::seams::FailNextVirtualAllocs(0);
    OCArchive::quietReadFailures = false;
    OCArchive::extraPakDirectories.clear();
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(root_, ignored);
  }

  // The scratch directory in the archive's own spelling ("\" separators).
  std::string RootPath() const {
    std::string path = root_.string();
    for (char& c : path) {
      if (c == '/') c = '\\';
    }
    return path;
  }

  static void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    // A fresh file rather than a truncated one: some file systems flush a
    // file that is cut to nothing, which makes rewriting a pak slow.
    std::filesystem::remove(path);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
  }

  static Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // Every dialog gets answer(dialog index); each one is recorded.
  void AnswerDialogs(std::function<int(std::size_t)> answer) {
    platform::seams::SetMessageBoxHandler(
        [this, answer](platform::Window, const char* text, const char* caption, unsigned type) {
          dialogs_.push_back({text != nullptr ? text : "", caption != nullptr ? caption : "", type});
          return answer(dialogs_.size() - 1);
        });
  }
  void AnswerDialogsWith(int answer) {
    AnswerDialogs([answer](std::size_t) { return answer; });
  }

  // The archive stands on nothing: what Close and a failed Open leave.
  static void ExpectNothingOpen(OCArchive& archive) {
    EXPECT_EQ(archive.file, nullptr);
    EXPECT_EQ(archive.inPak, 0u);
    EXPECT_EQ(archive.inMemory, 0u);
    EXPECT_EQ(archive.entryPacked, 0u);
    EXPECT_EQ(archive.memoryBase, nullptr);
    EXPECT_EQ(archive.position, 0);
    EXPECT_EQ(archive.Size(), 0u);
    std::uint8_t byte = 0;
    EXPECT_EQ(archive.Read(1, &byte), 0u);
  }

  static std::string ReadAll(OCArchive& archive) {
    TextString text;
    archive.ReadWhole(text);
    return TextOf(text);
  }

  // Every byte of the open file or entry, zero bytes included.
  static Bytes ReadBytes(OCArchive& archive) {
    Bytes bytes(archive.Size());
    bytes.resize(archive.Read(static_cast<std::uint32_t>(bytes.size()), bytes.data()));
    return bytes;
  }

  std::filesystem::path previous_;
  std::filesystem::path root_;
  std::vector<Dialog> dialogs_;
};

// One entry of a test pak.
struct TestEntry {
  std::string name;
  Bytes data;
  bool packed = false;
};

inline Bytes BuildTestPak(std::uint32_t version, const std::vector<TestEntry>& entries,
                          const std::string& keyText = "key", std::uint32_t sizeKey = 0x5A5A1234u) {
  PakContents contents;
  contents.version = version;
  contents.keyText = version >= 2 ? keyText : "";
  contents.sizeKey = version >= 2 ? sizeKey : 0;
  for (const TestEntry& entry : entries) contents.entries.push_back({entry.name, entry.data, entry.packed, 7});
  return BuildPak(contents);
}

// A pak kept as its fields, so that a test can set any number to any value
// and then lay the bytes out. Independent of the readers under test.
struct PakLayout {
  struct Record {
    std::string name;
    std::uint32_t nameLength;  // as stored; normally name.size()
    std::uint32_t dataOffset;  // as the reader sees it: absolute for version 0
    std::uint32_t size;
    std::uint32_t spare;
    std::uint32_t packed;
    std::uint32_t packedSize;
  };

  PakHeader header;
  std::vector<Record> records;
  Bytes dataArea;

  PakLayout(std::uint32_t version, const std::vector<TestEntry>& entries)
      : header(MakePakHeader(version, version >= 2 ? "key" : "", version >= 2 ? 0x5A5A1234u : 0)) {
    for (const TestEntry& entry : entries) {
      PreparedPakEntry prepared = PreparePakEntry(version, entry.name, entry.data, entry.packed, 7, 6);
      const PakIndexEntry& r = prepared.record;
      records.push_back({entry.name, static_cast<std::uint32_t>(entry.name.size()),
                         static_cast<std::uint32_t>(dataArea.size()), r.size, r.spare, r.packed, r.packedSize});
      dataArea.insert(dataArea.end(), prepared.bytes.begin(), prepared.bytes.end());
    }
    if (version == 0) {
      const auto dataStart = static_cast<std::uint32_t>(8 + Index().size());
      for (Record& record : records) record.dataOffset += dataStart;
    }
    UpdateCounts();
  }

  // The header's counts from the records as they stand.
  void UpdateCounts() {
    header.entryCount = static_cast<std::uint32_t>(records.size());
    header.indexSize = static_cast<std::uint32_t>(Index().size());
    header.packedIndexSize = header.version == 0 ? 0 : static_cast<std::uint32_t>(Deflate(Index()).size());
  }

  Bytes Index() const {
    Bytes index;
    auto append = [&index](std::uint32_t value) {
      for (int shift = 0; shift < 32; shift += 8) index.push_back(static_cast<std::uint8_t>(value >> shift));
    };
    for (const Record& record : records) {
      append(record.nameLength);
      index.insert(index.end(), record.name.begin(), record.name.end());
      if (header.version == 0) {
        append(record.dataOffset);
        append(record.spare);
        append(record.size);
        continue;
      }
      const std::uint32_t key = CipherRegistry::Entry(EncryptionVersionOf(header.version)).MakeKey(record.name.c_str());
      for (std::uint32_t value : {record.dataOffset, record.size, record.spare, record.packed, record.packedSize}) {
        append(value ^ key);
      }
    }
    return index;
  }

  Bytes Build() const {
    Bytes pak = EncodePakHeader(header);
    const Bytes index = header.version == 0 ? Index() : Deflate(Index());
    pak.insert(pak.end(), index.begin(), index.end());
    pak.insert(pak.end(), dataArea.begin(), dataArea.end());
    return pak;
  }
};

}  // namespace archive_test
