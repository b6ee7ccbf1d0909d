// The system's own exception types. Everything is thrown by value.
#pragma once

#include <cstdint>

#include "text/text_string.h"

// Root of the system's exceptions. code: the thread's last platform error when
// made as part of an OCErrorException, 0 when TextString::ReplaceAll makes it.
class OCException {
 public:
  explicit OCException(std::uint32_t code);
  OCException(const OCException&) = default;
  OCException& operator=(const OCException&) = default;
  virtual ~OCException();

  std::uint32_t code;
};

// An error with a message (code page 932). code is platform::GetLastError()
// taken before anything else in the constructor runs.
class OCErrorException : public OCException {
 public:
  explicit OCErrorException(const char* text);
  OCErrorException(const OCErrorException& other);
  OCErrorException& operator=(const OCErrorException& other);
  ~OCErrorException() override;

  TextString message;
};

// Thrown when no pak page block can be committed (the Windows status code).
inline constexpr std::uint32_t kStatusNoMemory = 0xC0000017u;
