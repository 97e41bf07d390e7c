#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ansi_code_page.h"
#include "tests/platform/locale_environment.h"
#include "tests/support/case_file.h"
#include "xmldoc/encoding_alias_table.h"
#include "xmldoc/encodings.h"

namespace {

TEST(CodePageOfNameTest, NamesOfEveryShape) {
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "code_pages.txt", 2)) {
    SCOPED_TRACE(row.where);
    EXPECT_EQ(CodePageOfName(row.Text(0)), row.Value(1, {{"CodePageUtf32", CodePageUtf32}}));
  }
}

// Measures, allocates and converts, as every caller does, checking that the two passes agree.
WString TranscodeAll(const WString& sourceName, const void* source, int32_t sourceLength) {
  TranscodeContext context;
  context.sourceName = sourceName;
  context.source = source;
  context.sourceLength = sourceLength;
  int measured = Transcode(context, nullptr, WTEXT("UTF-16"));
  EXPECT_EQ(context.resultLength, measured);
  EXPECT_EQ(context.targetName, WTEXT("UTF-16"));
  WString text(static_cast<size_t>(measured), WChar{});
  int converted = Transcode(context, text.data(), nullptr);
  EXPECT_EQ(converted, measured);
  EXPECT_EQ(context.resultLength, converted);
  return text;
}

WString TranscodeBytes(const WString& sourceName, const std::string& bytes) {
  return TranscodeAll(sourceName, bytes.data(), static_cast<int32_t>(bytes.size()));
}

TEST(TranscodeTest, CodePagesUtf8AndUtf32) {
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "transcode.txt", 3, 4)) {
    SCOPED_TRACE(row.where);
    const std::string bytes = row.Bytes(1);
    const auto length = static_cast<int32_t>(row.fields.size() > 3 ? row.Value(3) : bytes.size());
    EXPECT_EQ(TranscodeAll(row[0], bytes.data(), length), row[2]);
  }
}

TEST(TranscodeTest, EmptyAndUnknownNamesUseTheAnsiCodePage) {
#ifdef _WIN32
  // The system's code page, whatever it is, decodes the bytes as that code page named does.
  WString cp = WTEXT("cp");
  for (char digit : std::to_string(platform::AnsiCodePage())) cp += static_cast<WChar>(digit);
  EXPECT_EQ(TranscodeBytes(WTEXT(""), "A\xE9\xC4\xE3"), TranscodeBytes(cp, "A\xE9\xC4\xE3"));
  EXPECT_EQ(TranscodeBytes(WTEXT("ANSI"), "A\xE9\xC4\xE3"), TranscodeBytes(cp, "A\xE9\xC4\xE3"));
  EXPECT_EQ(TranscodeBytes(WTEXT(""), "Az"), WTEXT("Az"));
#else
  {
    LocaleEnvironment environment(nullptr, nullptr, "ru_RU.KOI8-R");
    EXPECT_EQ(TranscodeBytes(WTEXT(""), "\xE1\xD6"), WTEXT("\x0410\x0436"));
    EXPECT_EQ(TranscodeBytes(WTEXT("ANSI"), "\xE1\xD6"), WTEXT("\x0410\x0436"));
  }
  {
    LocaleEnvironment environment(nullptr, nullptr, nullptr);
    EXPECT_EQ(TranscodeBytes(WTEXT(""), "\x80\xE9"), WTEXT("\x20AC\x00E9"));
  }
#endif
}

// What does not fit the room given is not written: a code page conversion gives nothing, UTF-32
// stops before a pair that would not fit whole.
TEST(TranscodeTest, TooLittleRoomGivesNothingOrWholeUnits) {
  TranscodeContext context;
  context.sourceName = WTEXT("UTF-8");
  context.source = "abc";
  context.sourceLength = 3;
  context.resultLength = 2;
  WChar buffer[3] = {'-', '-', '-'};
  EXPECT_EQ(Transcode(context, buffer, WTEXT("UTF-16")), 0);
  EXPECT_EQ(context.resultLength, 0);

  const uint32_t values[] = {0x41, 0x1F600};
  context = TranscodeContext();
  buffer[0] = buffer[1] = '-';
  context.sourceName = WTEXT("UTF-32");
  context.source = values;
  context.sourceLength = 2;
  context.resultLength = 2;  // the pair does not fit whole
  EXPECT_EQ(Transcode(context, buffer, nullptr), 1);
  EXPECT_EQ(buffer[0], 'A');
  EXPECT_EQ(buffer[1], '-');
}

}  // namespace
