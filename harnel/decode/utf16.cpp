// Converting between the UTF-8 of profiles and the UTF-16 of records: the shared conversions of
// base/utf8.h, under the names the provider's code uses.

#include "harnel/decode/utf16.h"

#include "base/utf8.h"

namespace harnel::decode {

WString Utf8ToUtf16(std::string_view utf8) { return unicode::Utf8ToUtf16(utf8); }

std::string Utf16ToUtf8(WStringView utf16) { return unicode::Utf16ToUtf8(utf16); }

}  // namespace harnel::decode
