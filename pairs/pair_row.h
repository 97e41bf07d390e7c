#pragma once
// One row of a pair table: a fixed label and the record field that gives the value.

#include <cstdint>

#include "base/text.h"

namespace velmora {

// Exactly one of `text` and `number` is set. A text field is copied unchanged (a null
// pointer gives an empty value); an integer field is written in signed decimal.
template <class Record>
struct PairRow {
  const WChar* label;
  const WChar* Record::*text;
  int32_t Record::*number;
};

}  // namespace velmora
