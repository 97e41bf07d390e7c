// What the conversion gives on every system: the Windows converter's results, which the iconv
// one off Windows reproduces except where a case says otherwise.
#include "platform/code_page_conversion.h"

#include <cstddef>
#include <iostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/code_page_names.h"
#include "tests/platform/convert.h"
#include "tests/support/case_file.h"

namespace platform {
namespace {

// Every row of data/code_page_samples.txt: a few characters typical of one code page, or bytes
// that are no character.
TEST(CodePageConversionTest, EachSampleDecodesToItsScriptOrReplacementCharacters) {
  const std::vector<CaseRow> rows =
      ReadCaseFile(VELMORA_SOURCE_DIR "/tests/platform/data/code_page_samples.txt", 3, kAnyFields);
  std::vector<int> absent;
  for (const CaseRow& row : rows) {
    const int codePage = static_cast<int>(row.Value(0));
    std::string bytes;
    WString text, systemText;
    int field = 0;  // the bytes, the units, the system's units
    for (std::size_t i = 1; i < row.fields.size(); ++i) {
      const std::string word = row.Bytes(i);
      if (word == "=" || word == "|") {
        field = word == "=" ? 1 : 2;
        continue;
      }
      const int value = std::stoi(word, nullptr, 16);
      if (field == 0) {
        bytes.push_back(static_cast<char>(value));
      } else {
        (field == 1 ? text : systemText).push_back(static_cast<WChar>(value));
      }
    }
    SCOPED_TRACE(row.where);
#ifdef _WIN32
    // Wine lacks tables that Windows has (the EUC, ISO-2022 and GB18030 ones among them); a
    // code page that converts not even "A" says nothing about the results.
    if (ConvertToUtf16(codePage, "A", 1, nullptr, 0) == 0) {
      absent.push_back(codePage);
      continue;
    }
    if (!systemText.empty()) text = systemText;
#endif
    EXPECT_EQ(Convert(codePage, bytes), text);
  }
  if (!absent.empty()) {
    std::cout << "code pages this system does not convert:";
    for (int codePage : absent) std::cout << ' ' << codePage;
    std::cout << '\n';
  }
  EXPECT_LT(absent.size(), rows.size() / 2);
}

// The Windows converter refuses the UTF-16 and UTF-32 code pages (the engine decodes those
// itself), and off Windows the code pages that iconv has no converter for give nothing too.
TEST(CodePageConversionTest, CodePagesWithoutConverterGiveNothing) {
  std::vector<int> codePages = {1200, 1201, 12000, 12001, 99999, -1};
#ifndef _WIN32
  // Names the alias table knows but iconv cannot convert.
  codePages.insert(codePages.end(),
                   {720,   853,   10001, 10002, 10003, 10004, 10005, 10006, 10008, 10010, 10021,
                    10081, 10082, 20000, 20001, 20002, 20003, 20004, 20005, 20105, 29001, 52936,
                    57002, 57003, 57004, 57005, 57006, 57007, 57008, 57009, 57010, 57011, 65005});
#endif
  for (int codePage : codePages) {
    SCOPED_TRACE(testing::Message() << "code page " << codePage);
#ifndef _WIN32
    EXPECT_EQ(IconvNameOfCodePage(codePage), nullptr);
#endif
    WChar buffer[4] = {'-', '-', '-', '-'};
    EXPECT_EQ(ConvertToUtf16(codePage, "AB\0\0", 4, nullptr, 0), 0);
    EXPECT_EQ(ConvertToUtf16(codePage, "AB\0\0", 4, buffer, 4), 0);
    EXPECT_EQ(buffer[0], '-');
  }
}

TEST(CodePageConversionTest, MeasuresThenConvertsWithinRoom) {
  const std::string bytes(10000, 'x');  // more than one internal chunk
  EXPECT_EQ(ConvertToUtf16(65001, bytes.data(), 10000, nullptr, 0), 10000);
  WString text(10000, WChar{});
  EXPECT_EQ(ConvertToUtf16(65001, bytes.data(), 10000, text.data(), 10000), 10000);
  EXPECT_EQ(text, WString(10000, 'x'));

  // Too little room gives nothing and writes nothing.
  WChar small[2] = {'-', '-'};
  EXPECT_EQ(ConvertToUtf16(65001, "abc", 3, small, 2), 0);
  EXPECT_EQ(small[0], '-');

  EXPECT_EQ(ConvertToUtf16(65001, "abc", 0, nullptr, 0), 0);
  EXPECT_EQ(ConvertToUtf16(65001, nullptr, 3, nullptr, 0), 0);
}

}  // namespace
}  // namespace platform
