#pragma once
// Plain text to markup-safe text and back.

#include <cstddef>
#include <cstdint>

#include "base/text.h"

// `text` (zero-terminated) with "<", "&", ">", "'" and the quotation mark replaced by
// references; every other unit is copied. Existing references are escaped again.
WString EscapeText(const WChar* text);

// The most units EscapeText makes of one unit ("&quot;", "&apos;").
inline constexpr size_t kLongestReference = 6;

// Units EscapeText makes of the `length` units at `text`.
size_t EscapedLength(const WChar* text, size_t length);

// Writes EscapeText of the `length` units at `text` to `out`, which has room for
// EscapedLength of them; returns the end of what it wrote.
WChar* EscapeInto(const WChar* text, size_t length, WChar* out);

// Writes EscapeText of the zero-terminated `text` to `out` when the text is at most `limit`
// units long, and returns the end of what it wrote; returns null, having written an
// unspecified part, when it is longer. `out` has room for limit * kLongestReference +
// kEscapeBlockSlack units: whole blocks are stored even where only part of them is kept.
inline constexpr size_t kEscapeBlockSlack = 8;
WChar* EscapeTerminatedInto(const WChar* text, size_t limit, WChar* out);

// `length` units of `text` (-1: up to its terminator) with numeric character references and
// named entity references decoded; anything that is not a reference is copied literally.
WString UnescapeText(const WChar* text, int32_t length);
