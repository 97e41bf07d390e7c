#pragma once
// The named character entities, as constant data built into the program.

#include <cstdint>

#include "base/text.h"

inline constexpr int kEntityBucketCount = 130;

// Bucket k holds, one after another, the entries whose lower-case names sum to k modulo 130:
// a length digit, four decimal digits of the code point, then the lower-case name.
extern const WChar* const kEntityBuckets[kEntityBucketCount];

// Code point of the entity with the given lower-case name of `length` units (at most 9);
// 0 when there is none. For names that differ only in case, the capital form's code point.
uint32_t LookUpEntity(const WChar* name, int32_t length);
