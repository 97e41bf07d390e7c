#include "fleet/glpi_document.h"

#include <string_view>
#include <vector>

#include "fleet/glpi_tables.h"
#include "fleet/glpi_values.h"
#include "harnel/machine_key.h"

namespace velmora::fleet {
namespace {

using Json = nlohmann::ordered_json;

// More physical processors than any board holds means a wrong count, not a machine.
constexpr int kMostPackages = 64;

const nlohmann::json& Member(const nlohmann::json& object, std::string_view key) {
  static const nlohmann::json kNone;
  if (!object.is_object()) return kNone;
  const auto it = object.find(std::string(key));
  return it == object.end() ? kNone : *it;
}

// A single section's source "Record.field": a field of a record, or of the system ("System").
const nlohmann::json& SingleSource(const nlohmann::json& profile, std::string_view source,
                                   const nlohmann::json*& owner) {
  const std::size_t dot = source.find('.');
  const std::string_view record = source.substr(0, dot);
  owner = record == "System" ? &harnel::MachineFactsOf(profile, harnel::kMachineSystemKey, 0)
                             : &Member(profile, record);
  return Member(*owner, source.substr(dot + 1));
}

// The `index`-th node of the record under `recordKey` with what the Machine key adds to it.
nlohmann::json Merged(const nlohmann::json& profile, std::string_view recordKey, std::size_t index,
                      const nlohmann::json& node) {
  nlohmann::json merged = node.is_object() ? node : nlohmann::json::object();
  const nlohmann::json& added = harnel::MachineFactsOf(profile, recordKey, index);
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

// One entry per address of the adapter, each with its address in "ipv4" (with "ipv4Mask" and
// "ipv4Subnet") or "ipv6"; one without an address when the adapter has none.
void AddAddressEntries(std::vector<nlohmann::json>& entries, const nlohmann::json& adapter) {
  const std::vector<std::string> addresses = SplitList(Member(adapter, "ipAddress"));
  const std::vector<std::string> masks = SplitList(Member(adapter, "subnetMask"));
  if (addresses.empty()) entries.push_back(adapter);
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    nlohmann::json entry = adapter;
    const std::string mask = i < masks.size() ? masks[i] : std::string();
    if (addresses[i].find(':') != std::string::npos) {
      entry["ipv6"] = addresses[i].substr(0, addresses[i].find('%'));  // without a zone
    } else {
      entry["ipv4"] = addresses[i];
      const std::string subnet = Ipv4Subnet(addresses[i], mask);
      if (!subnet.empty()) {
        entry["ipv4Mask"] = mask;
        entry["ipv4Subnet"] = subnet;
      }
    }
    entries.push_back(std::move(entry));
  }
}

std::vector<nlohmann::json> Entries(const nlohmann::json& profile, const GlpiSection& section) {
  std::vector<nlohmann::json> entries;
  const nlohmann::json& record = Member(profile, section.record);
  if (record.is_null()) return entries;
  switch (section.entries) {
    case GlpiEntries::GlpiRecord:
      entries.push_back(Merged(profile, section.record, 0, record));
      break;
    case GlpiEntries::GlpiPackages: {
      const nlohmann::json processor = Merged(profile, section.record, 0, record);
      const nlohmann::json& packages = Member(processor, "packages");
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

// The fields the section's table gives: for a single section from the whole profile, for a list
// section from one entry.
Json Fill(const GlpiSection& section, const nlohmann::json& profile, const nlohmann::json& entry,
          const GlpiOptions& options) {
  Json out = Json::object();
  for (const GlpiField& field : section.fields) {
    const std::string target(field.target);
    if (out.contains(target)) continue;
    const nlohmann::json* owner = &entry;
    const nlohmann::json& value = section.entries == GlpiEntries::GlpiSingle
                                      ? SingleSource(profile, field.source, owner)
                                      : Member(entry, field.source);
    if (std::optional<Json> converted = GlpiConvert(field.value, value, *owner, options.readAt)) {
      out[target] = std::move(*converted);
    }
  }
  return out;
}

}  // namespace

std::string DefaultDeviceId(const nlohmann::json& profile) {
  const nlohmann::json& name = Member(Member(profile, harnel::kProfileKey<OSInfo>), "computerName");
  const nlohmann::json& uuid =
      Member(harnel::MachineFactsOf(profile, harnel::kMachineSystemKey, 0), "uuid");
  std::string id;
  for (const nlohmann::json* part : {&name, &uuid}) {
    if (!part->is_string() || part->get_ref<const std::string&>().empty()) continue;
    if (!id.empty()) id += '-';
    id += part->get_ref<const std::string&>();
  }
  return id.empty() ? "unknown" : id;
}

nlohmann::ordered_json GlpiDocument(const nlohmann::json& profile, const GlpiOptions& options) {
  Json content = Json::object();
  content["versionclient"] = options.client;
  for (const GlpiSection& section : GlpiSections()) {
    const std::string name(section.name);
    if (section.entries == GlpiEntries::GlpiSingle) {
      Json fields = Fill(section, profile, profile, options);
      if (!fields.empty()) content[name] = std::move(fields);
      continue;
    }
    Json list = Json::array();
    for (const nlohmann::json& entry : Entries(profile, section)) {
      Json fields = Fill(section, profile, entry, options);
      if (fields.empty()) continue;
      if (!section.required.empty() && !fields.contains(std::string(section.required))) continue;
      list.push_back(std::move(fields));
    }
    if (!list.empty()) content[name] = std::move(list);
  }
  Json document{
      {"action", "inventory"},
      {"deviceid", options.deviceId.empty() ? DefaultDeviceId(profile) : options.deviceId},
      {"itemtype", "Computer"}};
  if (!options.tag.empty()) document["tag"] = options.tag;
  document["content"] = std::move(content);
  return document;
}

}  // namespace velmora::fleet
