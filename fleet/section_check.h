#pragma once
// The compile-time check every format's tables pass: their rows name fields the profile has.

#include <span>

#include "fleet/glpi_tables.h"
#include "harnel/machine_key.h"

namespace velmora::fleet {

// Every source a row names is a field the profile holds for the row's record, and the rows of a
// list section read the record its entries are made of.
constexpr bool RowsMatchSchema(std::span<const GlpiSection> sections) {
  for (const GlpiSection& section : sections) {
    for (const GlpiField& field : section.fields) {
      if (section.entries != GlpiEntries::GlpiSingle && field.record != section.record) {
        return false;
      }
      if (!harnel::IsProfileField(field.record, field.source)) return false;
      if (!field.with.empty() && !harnel::IsProfileField(field.record, field.with)) return false;
    }
  }
  return true;
}

}  // namespace velmora::fleet
