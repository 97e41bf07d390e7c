#include "fleet/section_fill.h"

#include <string>
#include <vector>

#include "fleet/glpi_values.h"
#include "fleet/machine_facts_of.h"
#include "harnel/machine_key.h"

namespace velmora::fleet {
namespace {

using Json = nlohmann::ordered_json;

// More physical processors than any board holds means a wrong count, not a machine.
constexpr int kMostPackages = 64;

// The fields that make a list section's entries rather than fill them.
constexpr std::string_view kPackages = harnel::machine::kPackages;
constexpr std::string_view kAddresses = "ipAddress";
constexpr std::string_view kMasks = "subnetMask";
static_assert(harnel::IsProfileField(harnel::kProfileKey<ProcessorInfo>, kPackages));
static_assert(harnel::IsProfileField(harnel::kProfileKey<NetworkadapterNode>, kAddresses));
static_assert(harnel::IsProfileField(harnel::kProfileKey<NetworkadapterNode>, kMasks));

// The `index`-th node of the record under `recordKey` (index 0 for a single record, no node for
// the system) with what the Machine key adds to it: every field a row may name.
nlohmann::json Merged(const nlohmann::json& profile, std::string_view recordKey, std::size_t index,
                      const nlohmann::json& node) {
  nlohmann::json merged = node.is_object() ? node : nlohmann::json::object();
  const nlohmann::json& added = MachineFactsOf(profile, recordKey, index);
  if (added.is_object()) {
    for (const auto& [field, value] : added.items()) merged.emplace(field, value);
  }
  return merged;
}

std::vector<std::string> SplitList(const nlohmann::json& value) {
  std::vector<std::string> items;
  if (!value.is_string()) return items;
  std::string_view text = value.get_ref<const std::string&>();
  while (!text.empty()) {
    const std::size_t comma = text.find(", ");
    items.emplace_back(text.substr(0, comma));
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 2);
  }
  return items;
}

// One entry per address of the adapter, its address list narrowed to that address and its mask
// list to the mask in the same place (empty when there is none); the adapter as it is when it has
// no address.
void AddAddressEntries(std::vector<nlohmann::json>& entries, const nlohmann::json& adapter) {
  const std::vector<std::string> addresses = SplitList(ProfileMember(adapter, kAddresses));
  const std::vector<std::string> masks = SplitList(ProfileMember(adapter, kMasks));
  if (addresses.empty()) entries.push_back(adapter);
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    nlohmann::json entry = adapter;
    entry[std::string(kAddresses)] = addresses[i];
    entry[std::string(kMasks)] = i < masks.size() ? masks[i] : std::string();
    entries.push_back(std::move(entry));
  }
}

std::vector<nlohmann::json> Entries(const nlohmann::json& profile, const GlpiSection& section) {
  std::vector<nlohmann::json> entries;
  const nlohmann::json& record = ProfileMember(profile, section.record);
  if (record.is_null()) return entries;
  switch (section.entries) {
    case GlpiEntries::GlpiRecord:
      entries.push_back(Merged(profile, section.record, 0, record));
      break;
    case GlpiEntries::GlpiPackages: {
      const nlohmann::json processor = Merged(profile, section.record, 0, record);
      const nlohmann::json& packages = ProfileMember(processor, kPackages);
      int count = packages.is_number_integer() ? packages.get<int>() : 1;
      if (count < 1 || count > kMostPackages) count = 1;
      entries.assign(static_cast<std::size_t>(count), processor);
      break;
    }
    default:
      if (!record.is_array()) break;
      for (std::size_t i = 0; i < record.size(); ++i) {
        nlohmann::json node = Merged(profile, section.record, i, record[i]);
        if (section.entries == GlpiEntries::GlpiAddresses) {
          AddAddressEntries(entries, node);
        } else {
          entries.push_back(std::move(node));
        }
      }
  }
  return entries;
}

// The fields `rows` give from `record`: a list section's entry, or (`record` null) the records of
// the whole profile that a single section's rows name.
Json Fill(std::span<const GlpiField> rows, const nlohmann::json& profile,
          const nlohmann::json* record, std::optional<std::time_t> readAt) {
  Json out = Json::object();
  for (const GlpiField& field : rows) {
    const std::string target(field.target);
    if (out.contains(target)) continue;
    nlohmann::json single;
    const nlohmann::json* from = record;
    if (from == nullptr) {
      single = Merged(profile, field.record, 0, ProfileMember(profile, field.record));
      from = &single;
    }
    // No field is named "": a row without a second source reads null beside its first.
    if (std::optional<Json> converted = GlpiConvert(field.value, ProfileMember(*from, field.source),
                                                    ProfileMember(*from, field.with), readAt)) {
      out[target] = std::move(*converted);
    }
  }
  return out;
}

}  // namespace

const nlohmann::json& ProfileMember(const nlohmann::json& object, std::string_view key) {
  static const nlohmann::json kNone;
  if (!object.is_object()) return kNone;
  const auto it = object.find(std::string(key));
  return it == object.end() ? kNone : *it;
}

void FillSections(const nlohmann::json& profile, std::span<const GlpiSection> sections,
                  std::optional<std::time_t> readAt, nlohmann::ordered_json& content) {
  for (const GlpiSection& section : sections) {
    const std::string name(section.name);
    if (section.entries == GlpiEntries::GlpiSingle) {
      Json fields = Fill(section.fields, profile, nullptr, readAt);
      if (!fields.empty()) content[name] = std::move(fields);
      continue;
    }
    Json list = Json::array();
    for (const nlohmann::json& entry : Entries(profile, section)) {
      Json fields = Fill(section.fields, profile, &entry, readAt);
      if (fields.empty()) continue;
      if (!section.required.empty() && !fields.contains(std::string(section.required))) continue;
      list.push_back(std::move(fields));
    }
    if (!list.empty()) content[name] = std::move(list);
  }
}

}  // namespace velmora::fleet
