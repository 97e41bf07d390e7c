#pragma once
// Filling a fleet document's sections from a profile, row by row: what the formats share.

#include <ctime>
#include <optional>
#include <span>
#include <string_view>

#include <nlohmann/json.hpp>

#include "fleet/glpi_tables.h"

namespace velmora::fleet {

// The member `key` of `object`; null when `object` is not an object or has no such member. The
// reference stays valid as long as `object`.
const nlohmann::json& ProfileMember(const nlohmann::json& object, std::string_view key);

// Adds to the object `content` the sections `sections` give for `profile`, in table order, keyed
// by section name: a single section as an object of its fields, a list section as an array of
// its entries' objects. Absent values are left out, and so are entries and sections left without
// a field. `readAt` is when the records were read (for the boot time).
void FillSections(const nlohmann::json& profile, std::span<const GlpiSection> sections,
                  std::optional<std::time_t> readAt, nlohmann::ordered_json& content);

}  // namespace velmora::fleet
