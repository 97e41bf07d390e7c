#pragma once
// Finding the next unit of interest in a zero-terminated text, several units at a time.

#include <cstdint>

#include "provider/text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__GNUC__)
// The 16-byte loads are aligned, so they never cross a page; the part of the last one that
// lies past the terminator is read but never used, which the address checker cannot know.
#define VELMORA_WHOLE_BLOCK_READS __attribute__((no_sanitize_address))
#else
#define VELMORA_WHOLE_BLOCK_READS
#endif

// Offset of the first unit at or after `p` that is `a`, `b` or the terminating zero.
VELMORA_WHOLE_BLOCK_READS inline int32_t FindUnit(const WChar* text, int32_t p, WChar a, WChar b) {
  const WChar* s = text + p;
#if defined(__SSE2__)
  while ((reinterpret_cast<uintptr_t>(s) & 15) != 0) {
    const WChar u = *s;
    if (u == a || u == b || u == 0) return static_cast<int32_t>(s - text);
    ++s;
  }
  const __m128i wantA = _mm_set1_epi16(static_cast<short>(a));
  const __m128i wantB = _mm_set1_epi16(static_cast<short>(b));
  const __m128i zero = _mm_setzero_si128();
  for (;; s += 8) {
    const __m128i block = _mm_load_si128(reinterpret_cast<const __m128i*>(s));
    const __m128i hits =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(block, wantA), _mm_cmpeq_epi16(block, wantB)),
                     _mm_cmpeq_epi16(block, zero));
    const int mask = _mm_movemask_epi8(hits);
    if (mask != 0) return static_cast<int32_t>(s - text) + (__builtin_ctz(mask) >> 1);
  }
#else
  while (*s != a && *s != b && *s != 0) ++s;
  return static_cast<int32_t>(s - text);
#endif
}
