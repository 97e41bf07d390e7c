#pragma once
// Finding the next unit of interest in a zero-terminated text, several units at a time.

#include <cstdint>

#include "base/text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__GNUC__)
// A block is read only where it cannot leave the page of the first unit asked for, so a read
// can never fault, even where it covers units before that unit or past the terminator;
// those units are masked off or never used, which the address checker cannot know, nor the
// race checker, when another thread writes them (they may belong to another object).
#define VELMORA_WHOLE_BLOCK_READS __attribute__((no_sanitize("address", "thread")))
#else
#define VELMORA_WHOLE_BLOCK_READS
#endif

#if defined(__SSE2__)
namespace unit_search_detail {

// Offset of the first unit at or after `s` for which hits(block) is all ones; there must be
// one before or at the terminator. Eight units are examined at a time from `s` itself (in
// measurements, wider steps or aligned blocks lost more than they saved); near the end of a
// page one unit at a time.
template <class Hits>
VELMORA_WHOLE_BLOCK_READS inline int32_t FirstHit(const WChar* text, const WChar* s, Hits hits) {
  constexpr uintptr_t kPage = 4096;
  for (;;) {
    if ((reinterpret_cast<uintptr_t>(s) & (kPage - 1)) <= kPage - 16) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
      const int mask = _mm_movemask_epi8(hits(block));
      if (mask != 0) return static_cast<int32_t>(s - text) + (__builtin_ctz(mask) >> 1);
      s += 8;
    } else {
      const __m128i block = _mm_set1_epi16(static_cast<short>(*s));
      if (_mm_movemask_epi8(hits(block)) != 0) return static_cast<int32_t>(s - text);
      ++s;
    }
  }
}

inline __m128i Equal(__m128i block, WChar u) {
  return _mm_cmpeq_epi16(block, _mm_set1_epi16(static_cast<short>(u)));
}

}  // namespace unit_search_detail
#endif

// Offset of the first unit at or after `p` that is `a`, `b` or the terminating zero.
inline int32_t FindUnit(const WChar* text, int32_t p, WChar a, WChar b) {
#if defined(__SSE2__)
  using namespace unit_search_detail;
  return FirstHit(text, text + p, [a, b](__m128i block) {
    return _mm_or_si128(_mm_or_si128(Equal(block, a), Equal(block, b)), Equal(block, 0));
  });
#else
  const WChar* s = text + p;
  while (*s != a && *s != b && *s != 0) ++s;
  return static_cast<int32_t>(s - text);
#endif
}

// Offset of the first unit at or after `p` that is `a` or the terminating zero.
inline int32_t FindUnit(const WChar* text, int32_t p, WChar a) {
#if defined(__SSE2__)
  using namespace unit_search_detail;
  return FirstHit(text, text + p,
                  [a](__m128i block) { return _mm_or_si128(Equal(block, a), Equal(block, 0)); });
#else
  const WChar* s = text + p;
  while (*s != a && *s != 0) ++s;
  return static_cast<int32_t>(s - text);
#endif
}

// FindUnit(text, p, a) for a unit that is mostly a few units away, as the closing quote of an
// attribute value: the first eight units one by one, where the processor predicts the
// loop's end and runs on into what follows, and only what lies further by blocks.
inline int32_t FindNearUnit(const WChar* text, int32_t p, WChar a) {
  for (const int32_t near = p + 8; p < near; ++p) {
    if (text[p] == a || text[p] == 0) return p;
  }
  return FindUnit(text, p, a);
}
