// The tool's one-shot inflate against the game's own reads: same verdict, same
// bytes, on sound streams and on streams damaged in the ways that matter.
#include "tools/bulk_inflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "errors/oc_exception.h"
#include "tests/archive/archive_fixture.h"
#include "tools/pak_reader.h"

namespace {

using archive_test::Bytes;

Bytes Deflate(const Bytes& plain, int level) {
  uLongf length = compressBound(static_cast<uLong>(plain.size()));
  Bytes packed(length);
  EXPECT_EQ(compress2(packed.data(), &length, plain.data(), static_cast<uLong>(plain.size()), level), Z_OK);
  packed.resize(length);
  return packed;
}

// Runs of repeated words: deflates well, with long matches.
Bytes Compressible(std::size_t size, std::uint32_t seed) {
  static const char* const kWords[] = {"alpha ", "beta ", "gamma\n", "delta, ", "epsilon "};
  std::mt19937 generator(seed);
  Bytes bytes;
  while (bytes.size() < size) {
    const std::string word = kWords[generator() % 5];
    bytes.insert(bytes.end(), word.begin(), word.end());
  }
  bytes.resize(size);
  return bytes;
}

struct Verdict {
  std::optional<std::uint32_t> count;  // nullopt: the stream does not inflate
  Bytes bytes;                         // the first count bytes of the block
};

// The game: ReadPacked over the stream's bytes, as the pak search calls it.
Verdict GameRead(const Bytes& stored, std::uint32_t packedLength, std::uint32_t size) {
  OCArchive archive;
  archive.OpenMemory(stored.data(), static_cast<std::uint32_t>(stored.size()));
  Bytes block(std::max<std::uint32_t>(size, 1));
  try {
    const std::uint32_t count = archive.ReadPacked(packedLength, block.data(), size);
    block.resize(count);
    return {count, block};
  } catch (const OCErrorException&) {
    return {std::nullopt, {}};
  }
}

Verdict ToolRead(const Bytes& stored, std::uint32_t packedLength, std::uint32_t size) {
  Bytes block(size);
  const std::optional<std::uint32_t> count = paktool::BulkInflate(stored.data(), packedLength, block.data(), size);
  if (!count) return {std::nullopt, {}};
  block.resize(*count);
  return {count, block};
}

struct StreamCase {
  std::string what;
  Bytes stored;  // the stream and whatever follows it in the file
  std::uint32_t packedLength;
  std::uint32_t size;
  bool inflates;  // what the game decides, so a shared fault cannot pass
};

StreamCase Sound(const std::string& what, const Bytes& plain, int level) {
  const Bytes packed = Deflate(plain, level);
  return {what, packed, static_cast<std::uint32_t>(packed.size()), static_cast<std::uint32_t>(plain.size()), true};
}

std::vector<StreamCase> Cases() {
  std::vector<StreamCase> cases;
  std::mt19937 generator(20240611);
  for (std::size_t size : {0u, 1u, 17u, 4095u, 4096u, 4097u, 65536u, 300001u}) {
    const int level = static_cast<int>(generator() % 10);
    cases.push_back(Sound("noise " + std::to_string(size), archive_test::NoiseBytes(size, generator()), level));
    cases.push_back(Sound("text " + std::to_string(size), Compressible(size, generator()), level));
  }
  const Bytes plain = Compressible(50000, 5);
  const StreamCase base = Sound("base", plain, 6);
  auto variant = [&](const std::string& what, const std::function<void(StreamCase&)>& change) {
    StreamCase c = base;
    c.what = what;
    change(c);
    cases.push_back(c);
  };
  variant("trailing bytes after the stream", [](StreamCase& c) {
    c.stored.insert(c.stored.end(), 5000, 0xAB);
    c.packedLength += 5000;
  });
  variant("trailing bytes outside packedLength", [](StreamCase& c) { c.stored.insert(c.stored.end(), 9, 0x78); });
  variant("output shorter than size (stream holds size - 1)", [](StreamCase& c) { ++c.size; });
  variant("output longer than size (stream holds size + 1)", [](StreamCase& c) {
    --c.size;
    c.inflates = false;
  });
  variant("packedLength cut by one byte", [](StreamCase& c) {
    --c.packedLength;
    c.inflates = false;
  });
  variant("packedLength cut to half", [](StreamCase& c) {
    c.packedLength /= 2;
    c.inflates = false;
  });
  variant("file ends inside the stream", [](StreamCase& c) {
    c.stored.resize(c.stored.size() - 3);
    c.inflates = false;
  });
  variant("packedLength 0", [](StreamCase& c) {
    c.packedLength = 0;
    c.inflates = false;
  });
  variant("corrupted Adler-32", [](StreamCase& c) {
    c.stored[c.stored.size() - 1] ^= 0x01;
    c.inflates = false;
  });
  variant("bad header check", [](StreamCase& c) {
    c.stored[1] ^= 0x01;
    c.inflates = false;
  });
  variant("header asks for a preset dictionary", [](StreamCase& c) {
    c.stored[1] = 0xBB;  // FDICT set, check bits still valid for 0x78
    c.inflates = false;
  });
  variant("not deflate (method 7)", [](StreamCase& c) {
    c.stored[0] = 0x77;
    c.inflates = false;
  });
  variant("reserved block type", [](StreamCase& c) {
    c.stored[2] |= 0x06;
    c.inflates = false;
  });
  variant("size 0 for a stream with data", [](StreamCase& c) {
    c.size = 0;
    c.inflates = false;
  });
  Bytes empty = Deflate({}, 9);
  empty.push_back(0);
  cases.push_back({"empty stream then a byte", empty, static_cast<std::uint32_t>(empty.size()), 0, true});
  return cases;
}

class BulkInflateTest : public ::testing::TestWithParam<StreamCase> {};

TEST_P(BulkInflateTest, DecidesAsTheGameDoes) {
  const StreamCase& c = GetParam();
  const Verdict game = GameRead(c.stored, c.packedLength, c.size);
  const Verdict tool = ToolRead(c.stored, std::min<std::uint32_t>(c.packedLength, c.stored.size()), c.size);
  EXPECT_EQ(game.count.has_value(), c.inflates);
  ASSERT_EQ(tool.count.has_value(), game.count.has_value());
  if (game.count) {
    EXPECT_EQ(*tool.count, *game.count);
    EXPECT_TRUE(tool.bytes == game.bytes);
  }
}

INSTANTIATE_TEST_SUITE_P(Streams, BulkInflateTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<StreamCase>& info) {
                           std::string name;
                           for (char ch : info.param.what)
                             name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                           return name;
                         });

// Every entry of a pak of each packing version: the tool's bytes are the ones
// the game's pak search opens.
class PakEntriesTest : public archive_test::ArchiveTest, public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(PakEntriesTest, EveryEntryReadsAsTheGameOpensIt) {
  OCArchive::quietReadFailures = true;
  const std::uint32_t version = GetParam();
  std::mt19937 generator(version);
  PakContents contents;
  contents.version = version;
  contents.keyText = version >= 2 ? "key" : "";
  contents.sizeKey = version >= 2 ? 0x1234 : 0;
  for (int i = 0; i < 60; ++i) {
    const std::size_t size = generator() % (i % 10 == 0 ? 200000 : 3000);
    Bytes data = i % 3 == 0 ? archive_test::NoiseBytes(size, generator()) : Compressible(size, generator());
    contents.entries.push_back({"dir\\entry" + std::to_string(i) + ".bin", std::move(data), i % 7 != 0, 0});
  }
  WriteFile("a.pak", BuildPak(contents));

  paktool::PakFile pak(paktool::AnsiPath{"a.pak"});
  const paktool::PakIndex index = pak.ReadIndex();
  ASSERT_EQ(index.records.size(), contents.entries.size());
  for (const paktool::PakRecord& record : index.records) {
    Bytes tool;
    pak.ReadEntry(record, [&](const std::uint8_t* p, std::size_t n) { tool.insert(tool.end(), p, p + n); });
    OCArchive archive;
    ASSERT_EQ(archive.Open(record.rawName.c_str(), 0), 1) << record.rawName;
    EXPECT_TRUE(ReadBytes(archive) == tool) << record.rawName;
  }
}

INSTANTIATE_TEST_SUITE_P(Versions, PakEntriesTest, ::testing::Values(1u, 2u, 3u, 4u));

}  // namespace
