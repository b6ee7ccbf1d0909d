// Damaged paks of every version: cut at every byte, and with each number of
// the header and the records set to 0, all ones or past the end. The search
// must end cleanly: not found, found with bytes that really are the entry's,
// or the decompression error where a stream does not inflate.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "archive/oc_archive.h"
#include "errors/oc_exception.h"
#include "tests/archive/archive_fixture.h"

namespace {

using archive_test::ArchiveTest;
using archive_test::Bytes;
using archive_test::NoiseBytes;
using archive_test::PakLayout;
using archive_test::TestEntry;
using archive_test::TextOf;

enum class Outcome { NotFound, Found, DecompressionError };

const char* NameOf(Outcome outcome) {
  switch (outcome) {
    case Outcome::NotFound:
      return "not found";
    case Outcome::Found:
      return "found";
    default:
      return "decompression error";
  }
}

struct VersionCase {
  std::uint32_t version;
  bool packed;
};

const VersionCase kVersions[] = {{0, false}, {1, false}, {1, true},  {2, false}, {2, true},
                                 {3, false}, {3, true},  {4, false}, {4, true}};

std::string Describe(const VersionCase& c) {
  return "version " + std::to_string(c.version) + (c.packed ? " packed" : " stored");
}

class PakCorruptionTest : public ArchiveTest {
 protected:
  void SetUp() override {
    ArchiveTest::SetUp();
    OCArchive::quietReadFailures = true;
  }

  std::vector<TestEntry> Entries(const VersionCase& c) const {
    return {{"first.txt", first_, c.packed}, {"last.txt", last_, c.packed}};
  }

  // Puts pak as the only pak in the directory and opens name from it. A found
  // entry's bytes land in data; every outcome is checked for a clean archive.
  Outcome Search(const Bytes& pak, const char* name, Bytes& data) {
    WriteFile("a.pak", pak);
    OCArchive archive;
    try {
      if (archive.Open(name, 0) == 0) {
        ExpectNothingOpen(archive);
        EXPECT_TRUE(dialogs_.empty());
        return Outcome::NotFound;
      }
    } catch (const OCErrorException& error) {
      EXPECT_EQ(TextOf(error.message), "データ解凍に失敗しました。");
      return Outcome::DecompressionError;
    }
    const std::uint32_t size = archive.Size();
    data = ReadBytes(archive);
    // A stored entry's reads are not cut at its end, but its end must lie in
    // the file: every byte Size promises is there.
    EXPECT_EQ(data.size(), size);
    return Outcome::Found;
  }

  const Bytes first_ = NoiseBytes(20, 60);
  const Bytes last_ = NoiseBytes(30, 61);
};

TEST_F(PakCorruptionTest, PakCutAtAnyByteNeverServesWhatIsNotThere) {
  for (const VersionCase& c : kVersions) {
    SCOPED_TRACE(Describe(c));
    const Bytes whole = PakLayout(c.version, Entries(c)).Build();
    Bytes data;
    ASSERT_EQ(Search(whole, "last.txt", data), Outcome::Found);
    ASSERT_EQ(data, last_);
    bool firstFound = false;
    for (std::size_t length = 0; length < whole.size(); ++length) {
      SCOPED_TRACE(length);
      const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
      // The last entry's data runs to the end of the pak: every cut loses it.
      EXPECT_EQ(Search(cut, "last.txt", data), Outcome::NotFound);
      // The first entry is found once the cut lies after its data, and
      // then only with its own bytes.
      const Outcome outcome = Search(cut, "first.txt", data);
      if (outcome == Outcome::Found) {
        EXPECT_EQ(data, first_);
        firstFound = true;
      } else {
        EXPECT_EQ(outcome, Outcome::NotFound);
        EXPECT_FALSE(firstFound) << "lost again after a longer cut had it";
      }
    }
  }
}

// One number of a pak, by where it is and how to set it.
struct Field {
  const char* name;
  bool inRecord;
  std::function<void(PakLayout&, std::uint32_t value, std::size_t record)> set;
  // Where the requested entry's data lies: a value of all ones or past the end
  // always puts it outside the pak.
  bool placesData;
};

const Field kFields[] = {
    {"entryCount", false, [](PakLayout& p, std::uint32_t v, std::size_t) { p.header.entryCount = v; }, false},
    {"indexSize", false, [](PakLayout& p, std::uint32_t v, std::size_t) { p.header.indexSize = v; }, false},
    {"packedIndexSize", false, [](PakLayout& p, std::uint32_t v, std::size_t) { p.header.packedIndexSize = v; }, false},
    {"nameLength", true, [](PakLayout& p, std::uint32_t v, std::size_t r) { p.records[r].nameLength = v; }, false},
    {"dataOffset", true, [](PakLayout& p, std::uint32_t v, std::size_t r) { p.records[r].dataOffset = v; }, true},
    {"size", true, [](PakLayout& p, std::uint32_t v, std::size_t r) { p.records[r].size = v; }, true},
    {"packed", true, [](PakLayout& p, std::uint32_t v, std::size_t r) { p.records[r].packed = v; }, false},
    {"packedSize", true, [](PakLayout& p, std::uint32_t v, std::size_t r) { p.records[r].packedSize = v; }, false},
};

bool FieldExists(const Field& field, std::uint32_t version) {
  const std::string name = field.name;
  if (version != 0) return true;
  return name == "entryCount" || name == "nameLength" || name == "dataOffset" || name == "size";
}

TEST_F(PakCorruptionTest, AnyNumberSetToZeroAllOnesOrPastTheEndEndsCleanly) {
  for (const VersionCase& c : kVersions) {
    const std::size_t pakSize = PakLayout(c.version, Entries(c)).Build().size();
    for (const Field& field : kFields) {
      if (!FieldExists(field, c.version)) continue;
      for (std::size_t record = 0; record < (field.inRecord ? 2u : 1u); ++record) {
        for (std::uint32_t value : {0u, 0xFFFFFFFFu, static_cast<std::uint32_t>(pakSize + 1)}) {
          SCOPED_TRACE(Describe(c) + ", " + field.name +
                       (field.inRecord ? " of record " + std::to_string(record) : "") + " = " + std::to_string(value));
          PakLayout layout(c.version, Entries(c));
          field.set(layout, value, record);
          if (field.inRecord) layout.UpdateCounts();
          Bytes data;
          const Outcome outcome = Search(layout.Build(), "last.txt", data);
          const bool dataOutside =
              value != 0 && record == 1 && (field.placesData || (c.packed && std::string(field.name) == "packedSize"));
          if (dataOutside) {
            EXPECT_EQ(outcome, Outcome::NotFound) << NameOf(outcome);
          } else if (outcome == Outcome::DecompressionError) {
            // Only a stream can fail to inflate: the index of versions 1-4
            // or a packed entry.
            EXPECT_TRUE(c.version != 0) << NameOf(outcome);
          }
        }
      }
    }
  }
}

struct ExactCase {
  const char* label;
  std::function<void(PakLayout&)> damage;
  Outcome outcome;
};

TEST_F(PakCorruptionTest, DamagedHeadersEndAsDesigned) {
  const ExactCase cases[] = {
      {"no records", [](PakLayout& p) { p.header.entryCount = 0; }, Outcome::NotFound},
      {"empty index", [](PakLayout& p) { p.header.indexSize = 0; }, Outcome::NotFound},
      {"index larger than it inflates to", [](PakLayout& p) { p.header.indexSize += 1; }, Outcome::NotFound},
      {"index smaller than it inflates to", [](PakLayout& p) { p.header.indexSize -= 1; }, Outcome::DecompressionError},
      // Nothing inflates to something: passed over before any inflating.
      {"no packed index", [](PakLayout& p) { p.header.packedIndexSize = 0; }, Outcome::NotFound},
      {"packed index past the file", [](PakLayout& p) { p.header.packedIndexSize = 0x10000; }, Outcome::NotFound},
      {"more records than the index holds", [](PakLayout& p) { p.header.entryCount = 3; }, Outcome::Found},
  };
  for (const ExactCase& c : cases) {
    for (std::uint32_t version = 1; version <= 4; ++version) {
      SCOPED_TRACE(std::string(c.label) + ", version " + std::to_string(version));
      PakLayout layout(version, Entries({version, true}));
      c.damage(layout);
      Bytes data;
      EXPECT_EQ(Search(layout.Build(), "last.txt", data), c.outcome);
    }
  }
}

TEST_F(PakCorruptionTest, RecordsPastTheIndexAreNotRead) {
  for (std::uint32_t version = 0; version <= 4; ++version) {
    SCOPED_TRACE(version);
    PakLayout layout(version, Entries({version, false}));
    layout.header.entryCount = 3;
    Bytes data;
    // The third record would lie behind the index; a name in no record must
    // end in not found, never in a read past the index.
    EXPECT_EQ(Search(layout.Build(), "absent", data), Outcome::NotFound);
  }
}

}  // namespace
