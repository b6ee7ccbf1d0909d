// OCArchive: the handle on one file of the game's data, loose on disk or an
// entry of a .pak file in the current directory, read the same way for both.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/platform.h"
#include "text/text_string.h"

class PakIndexEntry;

class OCArchive {
 public:
  // Thrown when a pak version has no cipher (above 4).
  class OCCantFoundEncryptionVertionException {};

  // Open flags: bits 0-1 the mode, then two flags; other bits are ignored.
  static constexpr std::int32_t ModeRead = 0;    // "rb"
  static constexpr std::int32_t ModeWrite = 1;   // "w+b", creates directories
  static constexpr std::int32_t ModeAppend = 2;  // "a+b", creates directories
  static constexpr std::int32_t FlagDiskOnly = 4;
  static constexpr std::int32_t FlagCurrentDirectoryOnly = 8;

  struct FileCloser {
    void operator()(std::FILE* stream) const;
  };
  using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

  OCArchive();
  OCArchive(const OCArchive&) = delete;
  OCArchive& operator=(const OCArchive&) = delete;
  virtual ~OCArchive();

  // Opens path (either separator, "*" wildcard): on disk first, else in the
  // paks. Returns 1 when a file or entry is open, else 0 (after the user chose
  // Ignore, or quietly). Throws OCErrorException on Abort, and passes on what
  // the pak search throws. position is 0 afterwards in every outcome.
  std::int32_t Open(const char* path, std::int32_t flags);
  // Gives up the file and the block; Read and Size then give 0.
  void Close();
  // Creates every missing directory of dir ("\"-separated), drive aside.
  // Failures are ignored: a directory still missing shows when it is opened.
  static void CreateDirectoryChain(const char* dir);

  // Up to count bytes into buffer; the count delivered. Stored entries of
  // enciphered paks are deciphered as they are read. In memory mode never
  // past the block's end.
  std::uint32_t Read(std::uint32_t count, void* buffer);
  // offset from the start of the file or entry.
  void Seek(std::int32_t offset);
  // Size of the file or entry (the inflated size of a packed entry).
  std::uint32_t Size();
  // Inflates the zlib stream of packedLength bytes at the current position
  // into block (capacity bytes); the count inflated. Throws OCErrorException
  // "データ解凍に失敗しました。" when the stream does not inflate.
  std::uint32_t ReadPacked(std::uint32_t packedLength, void* block, std::uint32_t capacity);
  // The whole file as text into text (its cursor at the start). A size that
  // cannot be held (2^31 - 64 or more) reads nothing and leaves text without
  // storage.
  void ReadWhole(TextString& text);
  // A counted string (u32 length, then the bytes) into text. Returns false,
  // leaving text without storage, when the length or the bytes it counts are
  // not all there; the archive then stands at its end.
  bool ReadLengthPrefixed(TextString& text);
  // Bytes from the current position to the end of the file or block (0 when
  // nothing is open or the end is unknown).
  std::uint64_t BytesLeft();

  // Makes the archive stand on a block in memory (not owned), as the pak
  // search does for an inflated index.
  void OpenMemory(const void* block, std::uint32_t size);

  // The open stream's stdio buffer, kept for the archive's life: the default
  // one makes every 4 KiB read a system call. Declared before file, so the
  // stream is always closed before its buffer goes.
  std::unique_ptr<char[]> streamBuffer;
  FilePtr file;
  TextString requestName;
  TextString openedName;
  std::uint32_t entryPacked = 0;
  std::int64_t position = 0;
  std::uint32_t inPak = 0;
  std::unique_ptr<PakIndexEntry> entry;
  std::int64_t baseOffset = 0;
  std::uint32_t inMemory = 0;
  std::uint8_t* memoryBase = nullptr;
  std::uint8_t* memoryCursor = nullptr;
  std::uint32_t ownsMemory = 0;  // Close releases memoryBase with std::free
  std::uint32_t memorySize = 0;  // bytes of the block; reads stop at its end

  // Process-wide settings of the archive file system.
  static bool quietReadFailures;
  static platform::Window dialogOwner;
  static std::vector<TextString> extraPakDirectories;

 private:
  // One attempt at the request in requestName: disk, wildcard, then paks.
  void Resolve(const char* path, const char* mode, bool writing, std::int32_t flags);
  // Opens the first file (not directory) that the wildcard in requestName
  // matches; false when there is none.
  bool OpenWildcardMatch(const char* mode);
  // Gives a newly opened stream the archive's large buffer.
  void BufferStream();
  void OpenOnDisk(const char* path, const char* mode);
  void SearchPaks(const char* name, std::int32_t flags);
  void SkipToEnd();
};
