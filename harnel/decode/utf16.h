#pragma once
// Conversions between the UTF-8 of profiles and terminals and the UTF-16 of records.

#include <string>
#include <string_view>

#include "base/text.h"

namespace harnel::decode {

// UTF-8 to UTF-16; code points beyond U+FFFF become surrogate pairs. What is not UTF-8
// becomes U+FFFD as base/utf8.h says: one per maximal subpart, so one for a sequence cut short.
WString Utf8ToUtf16(std::string_view utf8);

// UTF-16 to UTF-8; a surrogate without its partner becomes U+FFFD.
std::string Utf16ToUtf8(WStringView utf16);

}  // namespace harnel::decode
