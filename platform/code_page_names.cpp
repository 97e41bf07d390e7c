#include "platform/code_page_names.h"

namespace platform {

namespace {

struct CodePageName {
  int codePage;
  const char* iconvName;
};

// Every code page that a charset alias can name and that glibc's iconv converts. The rest have
// no counterpart and convert to nothing, as an unknown code page does on Windows:
//   720 (DOS Arabic), 853 (DOS Turkish), 10001-10006, 10008, 10010, 10021, 10081, 10082 (the
//   Mac Japanese, Chinese, Korean, Arabic, Hebrew, Greek, Romanian, Thai, Turkish and Croatian
//   sets), 20000-20005 (CNS, TCA, ETEN, IBM 5550, TeleText, Wang Taiwan), 20105 (IA5 IRV puts
//   the currency sign at 0x24; glibc's IRV is plain ASCII), 29001 (Europa 3), 52936 (HZ),
//   57002-57011 (ISCII).
// 1200, 1201, 12000 and 12001 are left out on purpose: iconv could convert them, but the
// Windows converter refuses UTF-16 and UTF-32, so a file that names them loads as empty text
// on both platforms.
constexpr CodePageName kCodePageNames[] = {
    {154, "PT154"},
    {437, "CP437"},
    {708, "ASMO-708"},
    {737, "CP737"},
    {775, "CP775"},
    {850, "CP850"},
    {852, "CP852"},
    {855, "CP855"},
    {857, "CP857"},
    {858, "CP858"},
    {860, "CP860"},
    {861, "CP861"},
    {862, "CP862"},
    {863, "CP863"},
    {864, "CP864"},
    {865, "CP865"},
    {866, "CP866"},
    {869, "CP869"},
    {874, "CP874"},
    {932, "CP932"},
    {936, "CP936"},
    {949, "CP949"},
    {950, "CP950"},
    {1125, "CP1125"},
    {1133, "CP1133"},
    {1250, "CP1250"},
    {1251, "CP1251"},
    {1252, "CP1252"},
    {1253, "CP1253"},
    {1254, "CP1254"},
    {1255, "CP1255"},
    {1256, "CP1256"},
    {1257, "CP1257"},
    {1258, "CP1258"},
    {1361, "JOHAB"},
    {10000, "MACINTOSH"},
    {10007, "MS-MAC-CYRILLIC"},
    {10017, "MAC-UK"},
    {10029, "MAC-CENTRALEUROPE"},
    {10079, "MAC-IS"},
    {20106, "DIN_66003"},
    {20107, "SEN_850200_B"},
    {20108, "NS_4551-1"},
    {20127, "ASCII"},
    {20261, "T.61-8BIT"},
    {20269, "ISO_6937"},
    {20866, "KOI8-R"},
    {20932, "EUC-JP"},
    {20936, "GB2312"},
    {20949, "EUC-KR"},
    {21866, "KOI8-U"},
    {28591, "ISO-8859-1"},
    {28592, "ISO-8859-2"},
    {28593, "ISO-8859-3"},
    {28594, "ISO-8859-4"},
    {28595, "ISO-8859-5"},
    {28596, "ISO-8859-6"},
    {28597, "ISO-8859-7"},
    {28598, "ISO-8859-8"},
    {28599, "ISO-8859-9"},
    {28603, "ISO-8859-13"},
    {28605, "ISO-8859-15"},
    {38598, "ISO-8859-8"},  // the logical-order variant has the same bytes
    {50220, "ISO-2022-JP"},
    {50221, "ISO-2022-JP-3"},  // adds the half-width katakana set (ESC ( I)
    {50222, "ISO-2022-JP-3"},
    {50225, "ISO-2022-KR"},
    {50227, "ISO-2022-CN"},
    {51932, "EUC-JP-MS"},
    {51936, "EUC-CN"},
    {51949, "EUC-KR"},
    {54936, "GB18030"},
    {65000, "UTF-7"},
    {65001, "UTF-8"},
};

}  // namespace

const char* IconvNameOfCodePage(int codePage) {
  for (const CodePageName& entry : kCodePageNames) {
    if (entry.codePage == codePage) return entry.iconvName;
  }
  return nullptr;
}

}  // namespace platform
