#pragma once
// The result log: a wide string of records such as <read encoding="UTF-8" length="120"/>,
// one per event, with which the engine reports what an operation did and what went wrong.

#include <cstdint>

#include "base/text.h"

// Bits of AddResult's flags: which attribute names the text and the number get, and the mode.
enum ResultFlag : uint32_t {
  ResultCount = 0x01,     // number written as "count"
  ResultType = 0x02,      // text written as "type"
  ResultN = 0x04,         // number written as "n"
  ResultEncoding = 0x08,  // text written as "encoding"
  ResultLength = 0x10,    // number written as "length"
  ResultUpdate = 0x20,    // set the attributes of the first record with the keyword instead
  ResultMsg = 0x40,       // text written as "msg"
};

// A log stops growing once it holds this many units (checked before each record).
inline constexpr size_t kResultLogLimit = 1000;

// Appends the record <keyword .../> to `log`, or in update mode sets the attributes of the
// first record named `keyword`. `text` null: no text attribute; `number` and `number2` equal
// to 0xFFFFFFFF mean none where the attribute is "offset" or "offset2". Values are escaped.
void AddResult(WString& log, const WChar* keyword, const WChar* text, uint32_t flags,
               uint32_t number, uint32_t number2);
