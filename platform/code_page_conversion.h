#pragma once
// Conversion of code-page bytes to UTF-16, with the results of the Windows converter.

#include "base/text.h"

namespace platform {

// Converts `byteCount` bytes in `codePage` (0: the system's ANSI code page) to UTF-16 and
// returns the number of units: with a null `destination` the number needed, otherwise the
// number written, which is 0 when they do not fit in `room` units. Bytes that are not valid
// in the code page become U+FFFD and the conversion goes on. A code page that cannot be
// converted, and an empty input, give 0.
int ConvertToUtf16(int codePage, const char* bytes, int byteCount, WChar* destination, int room);

}  // namespace platform
