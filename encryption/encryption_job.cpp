// The jobs that describe one run of entry bytes to decipher, and their factory.
#include "encryption/encryption_job.h"

#include "archive/oc_archive.h"

EncryptionJob::EncryptionJob(std::uint8_t* buffer, std::int32_t position, std::int32_t length, const char* name)
    : buffer(buffer), position(position), length(length) {
  this->name.Assign(name);
}

EncryptionJob::~EncryptionJob() = default;

int EncryptionJobV0::Version() const { return 0; }

int EncryptionJobV1::Version() const { return 1; }
std::uint8_t* EncryptionJobV1::Buffer() const { return buffer; }
int EncryptionJobV1::Position() const { return position; }
int EncryptionJobV1::Length() const { return length; }
const char* EncryptionJobV1::Name() const { return name.data != nullptr ? name.data : ""; }

EncryptionJobV2::EncryptionJobV2(std::uint8_t* buffer, int whole, std::int32_t position, std::int32_t length,
                                 const char* name)
    : EncryptionJobV1(buffer, position, length, name), whole(static_cast<std::uint32_t>(whole)) {}

int EncryptionJobV2::Version() const { return 2; }
int EncryptionJobV2::IsWhole() const { return static_cast<int>(whole); }

std::unique_ptr<EncryptionJob> CreateEncryptionJob(std::uint32_t pakVersion, std::uint8_t* buffer, int whole,
                                                   int position, int length, const char* name) {
  switch (pakVersion) {
    case 0:
    case 1:
    case 2:
      return std::make_unique<EncryptionJobV0>(buffer, position, length, name);
    case 3:
      return std::make_unique<EncryptionJobV1>(buffer, position, length, name);
    case 4:
      return std::make_unique<EncryptionJobV2>(buffer, whole, position, length, name);
    default:
      throw OCArchive::OCCantFoundEncryptionVertionException();
  }
}
