// Tests of the system's exception types: codes, messages, copies and matching handlers.
#include "errors/oc_exception.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace {

TEST(OCErrorException, TakesTheLastErrorAndCopiesTheMessage) {
  platform::SetLastError(platform::ERROR_FILE_NOT_FOUND);
  const std::string text = "ファイル script\\product.ini が開けませんでした。";
  const OCErrorException error(text.c_str());
  EXPECT_EQ(error.code, 2u);
  ASSERT_NE(error.message.data, nullptr);
  EXPECT_NE(error.message.data, text.c_str());
  EXPECT_EQ(error.message.data, text);
}

TEST(OCErrorException, CopiesOwnSeparateMessages) {
  platform::SetLastError(platform::ERROR_ACCESS_DENIED);
  OCErrorException original("データ解凍に失敗しました。");
  platform::SetLastError(platform::ERROR_SUCCESS);

  const OCErrorException copy(original);
  EXPECT_EQ(copy.code, 5u);
  ASSERT_NE(copy.message.data, nullptr);
  EXPECT_NE(copy.message.data, original.message.data);
  EXPECT_STREQ(copy.message.data, original.message.data);

  platform::SetLastError(platform::ERROR_PATH_NOT_FOUND);
  OCErrorException assigned("other");
  assigned = original;
  EXPECT_EQ(assigned.code, 5u);
  EXPECT_NE(assigned.message.data, original.message.data);
  EXPECT_STREQ(assigned.message.data, original.message.data);

  original.message.data[0] = 'X';
  EXPECT_STRNE(copy.message.data, original.message.data);
}

TEST(OCErrorException, NullTextLeavesTheMessageWithoutStorage) {
  platform::SetLastError(platform::ERROR_INVALID_PARAMETER);
  const OCErrorException error(nullptr);
  EXPECT_EQ(error.code, 87u);
  EXPECT_EQ(error.message.data, nullptr);
  EXPECT_EQ(error.message.CompareNoCase(""), -1);
}

TEST(OCErrorException, IsCaughtAsOCExceptionWithItsMessageIntact) {
  platform::SetLastError(platform::ERROR_MOD_NOT_FOUND);
  try {
    throw OCErrorException("message");
  } catch (const OCException& e) {
    EXPECT_EQ(e.code, 126u);
    const auto* error = dynamic_cast<const OCErrorException*>(&e);
    ASSERT_NE(error, nullptr);
    EXPECT_STREQ(error->message.data, "message");
  }
}

TEST(OCException, CarriesTheCodeItIsGiven) {
  platform::SetLastError(platform::ERROR_FILE_NOT_FOUND);
  const OCException e(0);
  EXPECT_EQ(e.code, 0u) << "a plain OCException does not read the last error";
  const OCException copy(e);
  EXPECT_EQ(copy.code, 0u);
}

TEST(StatusNoMemory, IsThrownAsAPlainUnsigned32BitNumber) {
  try {
    throw kStatusNoMemory;
  } catch (const OCException&) {
    ADD_FAILURE() << "a status code is no OCException";
  } catch (std::uint32_t status) {
    EXPECT_EQ(status, 0xC0000017u);
  }
}

}  // namespace
