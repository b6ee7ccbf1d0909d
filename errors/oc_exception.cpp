// The system's own exception types.
#include "errors/oc_exception.h"

#include "platform/platform.h"

OCException::OCException(std::uint32_t code) : code(code) {}

OCException::~OCException() = default;

// The base is made first, so code is the last error of whatever ran before
// the throw site, not of the message's allocation.
OCErrorException::OCErrorException(const char* text) : OCException(platform::GetLastError()) { message.Assign(text); }

OCErrorException::OCErrorException(const OCErrorException& other) = default;

OCErrorException& OCErrorException::operator=(const OCErrorException& other) = default;

OCErrorException::~OCErrorException() = default;
