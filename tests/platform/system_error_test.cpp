#include "platform/system_error.h"

#include <cerrno>

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(SystemErrorTest, MessagesAreTheSystemsTextWithoutLineBreak) {
  // The tests never select a locale, so the messages are the untranslated ones.
  EXPECT_EQ(SystemErrorMessage(ENOENT), WTEXT("No such file or directory"));
  EXPECT_EQ(SystemErrorMessage(EACCES), WTEXT("Permission denied"));
  EXPECT_EQ(SystemErrorMessage(123456), WTEXT("Unknown error 123456"));
}

}  // namespace
}  // namespace platform
