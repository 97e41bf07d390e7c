#pragma once
// Finding the next unit of interest in a zero-terminated text, several units at a time.

#include <cstdint>

#include "provider/text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__GNUC__)
// A 16-byte load is made only when it stays inside the page of its first unit, so it can
// never fault; the part that lies past the terminator is read but never used, which the
// address checker cannot know.
#define VELMORA_WHOLE_BLOCK_READS __attribute__((no_sanitize_address))
#else
#define VELMORA_WHOLE_BLOCK_READS
#endif

// Offset of the first unit at or after `p` that is `a`, `b` or the terminating zero.
VELMORA_WHOLE_BLOCK_READS inline int32_t FindUnit(const WChar* text, int32_t p, WChar a, WChar b) {
  const WChar* s = text + p;
#if defined(__SSE2__)
  constexpr uintptr_t kPage = 4096;
  const __m128i wantA = _mm_set1_epi16(static_cast<short>(a));
  const __m128i wantB = _mm_set1_epi16(static_cast<short>(b));
  const __m128i zero = _mm_setzero_si128();
  for (;;) {
    if ((reinterpret_cast<uintptr_t>(s) & (kPage - 1)) <= kPage - 16) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
      const __m128i hits =
          _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(block, wantA), _mm_cmpeq_epi16(block, wantB)),
                       _mm_cmpeq_epi16(block, zero));
      const int mask = _mm_movemask_epi8(hits);
      if (mask != 0) return static_cast<int32_t>(s - text) + (__builtin_ctz(mask) >> 1);
      s += 8;
    } else {
      const WChar u = *s;
      if (u == a || u == b || u == 0) return static_cast<int32_t>(s - text);
      ++s;
    }
  }
#else
  while (*s != a && *s != b && *s != 0) ++s;
  return static_cast<int32_t>(s - text);
#endif
}
