#pragma once
// printf-style formatting of one 32-bit integer into a wide buffer.

#include <cstdint>

#include "base/text.h"

// Writes `format` into `buffer` with each "%d" replaced by `value` in signed decimal (no
// padding, no grouping) and "%%" by "%", then a terminating zero. Every other unit is
// copied as it stands, so "%d MB" gives "2048 MB". No size is taken: the caller sizes the
// buffer for the output (every caller here uses 100 units).
void FormatNumber(WChar* buffer, const WChar* format, int32_t value);
