#pragma once
// The shape of a template's fill table: which item takes its value from which record field.

#include <cstdint>

#include "base/text.h"

namespace velmora {

// One row: the `item` whose `name` equals `itemName` (compared exactly) receives a `value`
// from one field of the record, either a text field copied unchanged or an integer written
// through `format` ("%d", "%d MB", ...). Exactly one of `text` and `number` is set.
template <typename Record>
struct FillRow {
  const WChar* itemName;
  const WChar* Record::*text;
  int32_t Record::*number;
  const WChar* format;
};

template <typename Record>
constexpr FillRow<Record> TextRow(const WChar* itemName, const WChar* Record::*field) {
  return {itemName, field, nullptr, nullptr};
}

template <typename Record>
constexpr FillRow<Record> NumberRow(const WChar* itemName, int32_t Record::*field,
                                    const WChar* format) {
  return {itemName, nullptr, field, format};
}

}  // namespace velmora
