#include "xmldoc/encoding_alias_table.h"

#include <gtest/gtest.h>

#include "xmldoc/encodings.h"

namespace {

// Names of every shape the table holds: each kind of punctuation, the longest name, names
// that share a prefix or a bucket with another, and the entries kept as they were registered.
TEST(CodePageOfNameTest, NamesOfEveryShape) {
  struct Case {
    const WChar* name;
    int codePage;
  };
  const Case cases[] = {
      {WTEXT(""), 0},
      {WTEXT("UTF-8"), 65001},
      {WTEXT("utf8"), 65001},
      {WTEXT("Unicode-1-1-UTF-8"), 65001},
      {WTEXT("UTF-16"), 1200},
      {WTEXT("unicode"), 1200},
      {WTEXT("UTF-16BE"), 1201},
      {WTEXT("ucs-2be"), 1201},
      {WTEXT("GB2312"), 936},
      {WTEXT("gbk"), 936},
      {WTEXT("ISO_8859-1:1987"), 28591},
      {WTEXT("latin1"), 28591},
      {WTEXT("iso-8859-8"), 28598},
      {WTEXT("ISO-8859-8-I"), 38598},
      {WTEXT("koi8-r"), 20866},
      {WTEXT("KOI8-U"), 21866},
      {WTEXT("ks_c_5601-1987"), 949},
      {WTEXT("x-mac-ce"), 10029},
      {WTEXT("pc-multilingual-850+euro"), 858},
      {WTEXT("_iso-2022-jp$sio"), 50222},
      {WTEXT("ansi_x3.4-1968"), 20127},
      {WTEXT("EXTENDED_UNIX_CODE_PACKED_FORMAT_FOR_JAPANESE"), 20932},
      // The UTF-32 test is made with case, before the table.
      {WTEXT("UTF-32"), CodePageUtf32},
      {WTEXT("UTF-32BE"), CodePageUtf32},
      {WTEXT("UTF-32 whatever follows"), CodePageUtf32},
      {WTEXT("utf-32"), 12000},
      {WTEXT("uTF-32"), 12000},
      {WTEXT("utf-32be"), 12001},
      {WTEXT("UTF-3"), -1},
      // Entries kept as registered.
      {WTEXT("cp1256 "), 1256},
      {WTEXT("CP1256 "), 1256},
      {WTEXT("cp1256  "), -1},
      {WTEXT(" cp1256"), -1},
      {WTEXT("cp500"), 775},
      {WTEXT("shifft_jis"), 932},
      {WTEXT("iso-4873:1986"), 54936},
      // Unknown names, including ones that share a bucket or a prefix with a known one.
      {WTEXT("ANSI"), -1},
      {WTEXT("utf-"), -1},
      {WTEXT("utf-8 "), -1},
      {WTEXT("8fu-t"), -1},       // same units as "utf-8", so the same bucket
      {WTEXT("\x00DCTF-8"), -1},  // only ASCII capitals fold
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << (&c - cases));
    EXPECT_EQ(CodePageOfName(c.name), c.codePage);
  }
}

TEST(CodePageOfNameTest, NamesOfOneHundredCharactersOrMoreAreUnknown) {
  // No table name is this long; the lookup must neither find one nor overrun its buffer.
  for (size_t length : {99u, 100u, 101u, 500u}) {
    SCOPED_TRACE(length);
    WString name = WTEXT("utf-8");
    name.resize(length, ' ');
    EXPECT_EQ(CodePageOfName(name.c_str()), -1);
  }
  // The UTF-32 test comes before the length limit.
  WString utf32 = WTEXT("UTF-32");
  utf32.resize(150, 'x');
  EXPECT_EQ(CodePageOfName(utf32.c_str()), CodePageUtf32);
}

}  // namespace
