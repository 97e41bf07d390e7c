#include "pairs/format_number.h"

void FormatNumber(WChar* buffer, const WChar* format, int32_t value) {
  WChar* out = buffer;
  for (const WChar* f = format; *f != 0; ++f) {
    if (f[0] == '%' && f[1] == '%') {
      *out++ = '%';
      ++f;
      continue;
    }
    if (f[0] != '%' || f[1] != 'd') {
      *out++ = *f;
      continue;
    }
    ++f;
    // Widen before negating so that INT32_MIN keeps its digits.
    int64_t magnitude = value;
    if (magnitude < 0) {
      *out++ = '-';
      magnitude = -magnitude;
    }
    WChar digits[10];
    int count = 0;
    do {
      digits[count++] = static_cast<WChar>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    while (count > 0) *out++ = digits[--count];
  }
  *out = 0;
}
