#pragma once
// Code-page conversion the way every caller does it: measure, then convert.

#include <string>

#include <gtest/gtest.h>

#include "platform/code_page_conversion.h"

namespace platform {

// Converts all of `bytes` from `codePage`; the measured and the written counts must agree.
inline WString Convert(int codePage, const std::string& bytes) {
  const int byteCount = static_cast<int>(bytes.size());
  const int units = ConvertToUtf16(codePage, bytes.data(), byteCount, nullptr, 0);
  WString text(static_cast<size_t>(units), WChar{});
  EXPECT_EQ(ConvertToUtf16(codePage, bytes.data(), byteCount, text.data(), units), units);
  return text;
}

}  // namespace platform
