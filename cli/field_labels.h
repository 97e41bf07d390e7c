#pragma once
// How people know the fields of the provider's records: the captions the pair exports show
// them under, and which field each pair of an export shows.

#include <span>
#include <string>
#include <string_view>

#include "harnel/schema.h"

namespace velmora::cli {

// The caption of `field` of the record stored under `recordKey`: the pair export's label
// without its closing colon ("总大小（MB）"); for a field that no pair export shows, the
// template's item name with the unit in full-width parentheses, as the labels carry units
// ("容量（MB）"). Empty for a field the tables do not know.
std::string FieldCaption(std::string_view recordKey, std::string_view field);

// The fields that the pair export of the record under `recordKey` shows for one record or
// node, in the order of its pairs; empty when no export shows that record (PhyMemoryList).
std::span<const harnel::FieldSchema* const> PairFields(std::string_view recordKey);

}  // namespace velmora::cli
