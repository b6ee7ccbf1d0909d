// One run of entry bytes to decipher: the bytes, their offset in the entry and
// the entry's name, which is the key text.
#pragma once

#include <cstdint>
#include <memory>

#include "text/text_string.h"

class EncryptionJob {
 public:
  EncryptionJob(std::uint8_t* buffer, std::int32_t position, std::int32_t length, const char* name);
  virtual ~EncryptionJob();
  virtual int Version() const = 0;

  std::uint8_t* buffer;   // not owned
  std::int32_t position;  // offset of buffer[0] from the entry's first byte
  std::int32_t length;
  TextString name;  // the job's own copy; empty for a null name
};

class EncryptionJobV0 : public EncryptionJob {
 public:
  using EncryptionJob::EncryptionJob;
  int Version() const override;
};

class EncryptionJobV1 : public EncryptionJob {
 public:
  using EncryptionJob::EncryptionJob;
  int Version() const override;
  std::uint8_t* Buffer() const;
  int Position() const;
  int Length() const;
  const char* Name() const;  // "" for an empty name
};

class EncryptionJobV2 : public EncryptionJobV1 {
 public:
  EncryptionJobV2(std::uint8_t* buffer, int whole, std::int32_t position, std::int32_t length, const char* name);
  int Version() const override;
  int IsWhole() const;

  std::uint32_t whole;
};

// The job variant of a pak version. Throws
// OCArchive::OCCantFoundEncryptionVertionException above version 4.
std::unique_ptr<EncryptionJob> CreateEncryptionJob(std::uint32_t pakVersion, std::uint8_t* buffer, int whole,
                                                   int position, int length, const char* name);
