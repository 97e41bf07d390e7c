#include "harnel/machine_key.h"

#include <array>
#include <string>

namespace harnel {
namespace {

// The system's fields as text fields of a record without a layout.
constexpr auto kSystemFields = [] {
  std::array<FieldSchema, std::size(machine::kSystemFields)> fields{};
  for (std::size_t i = 0; i < fields.size(); ++i) {
    fields[i] = {machine::kSystemFields[i], FieldKind::FieldText, 0};
  }
  return fields;
}();
constexpr RecordSchema kSystemSchema{kMachineSystemKey, false,   0,      0,
                                     kSystemFields,     nullptr, nullptr};

const nlohmann::json kNothing;

}  // namespace

const RecordSchema& SystemSchema() { return kSystemSchema; }

const nlohmann::json& MachineFactsOf(const nlohmann::json& profile, std::string_view recordKey,
                                     std::size_t index) {
  if (!profile.is_object()) return kNothing;
  const auto machine = profile.find(std::string(kMachineKey));
  if (machine == profile.end() || !machine->is_object()) return kNothing;
  if (recordKey.starts_with("Machine.")) recordKey.remove_prefix(8);
  const auto facts = machine->find(std::string(recordKey));
  if (facts == machine->end()) return kNothing;
  if (facts->is_object()) return index == 0 ? *facts : kNothing;
  if (facts->is_array() && index < facts->size() && (*facts)[index].is_object()) {
    return (*facts)[index];
  }
  return kNothing;
}

std::string CheckMachineCounts(const nlohmann::json& profile) {
  if (!profile.is_object()) return {};
  const auto machine = profile.find(std::string(kMachineKey));
  if (machine == profile.end() || !machine->is_object()) return {};
  for (const MachineGroup& group : kMachineGroups) {
    if (!group.perNode) continue;
    const std::string key(group.recordKey);
    const auto facts = machine->find(key);
    if (facts == machine->end() || !facts->is_array()) continue;
    const auto record = profile.find(key);
    const std::size_t nodes = record != profile.end() && record->is_array() ? record->size() : 0;
    if (facts->size() != nodes) {
      return "the number of entries of " + std::string(kMachineKey) + "." + key + " (" +
             std::to_string(facts->size()) + ") differs from that of " + key + " (" +
             std::to_string(nodes) + "); its facts cannot be matched to the devices";
    }
  }
  return {};
}

}  // namespace harnel
