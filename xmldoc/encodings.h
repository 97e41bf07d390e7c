#pragma once
// Charset names to code pages, and conversion of encoded text to UTF-16.

#include <cstdint>

#include "base/text.h"

// Code page numbers with a meaning of their own; any other number is a Windows code page.
enum CodePage : int {
  CodePageUnknown = -1,  // a name that the alias table does not know
  CodePageAnsi = 0,      // the system's ANSI code page
  CodePageUtf16 = 1200,
  CodePageUtf16Be = 1201,
  CodePageUtf8 = 65001,
  CodePageUtf32 = 65005,  // 32-bit values converted by our own code, never by the platform
};

// The state of one conversion; the caller owns it and everything it points to.
struct TranscodeContext {
  WString targetName;            // charset of the result; always "UTF-16" here
  WString sourceName;            // charset of the input; empty: the ANSI code page
  const void* source = nullptr;  // bytes, or 32-bit values for UTF-32
  int32_t sourceLength = 0;      // number of input units
  int32_t resultLength = 0;      // in: room at the destination; out: UTF-16 units produced
};

// Returns the code page of the zero-terminated charset `name`: 0 for the empty name,
// CodePageUtf32 for names starting with "UTF-32" (case-sensitive), the alias table's code
// page for any other name of up to 99 characters (ASCII case ignored), else -1.
int CodePageOfName(const WChar* name);

// Converts the context's source to UTF-16 at `destination` (null: only count) within the
// context's resultLength units, stores the number of units in resultLength and returns it;
// 0 when the conversion is not possible. A non-null `targetName` replaces the target name.
int Transcode(TranscodeContext& context, WChar* destination, const WChar* targetName);
