#include "harnel/machine_key.h"

#include <string>

#include <nlohmann/json.hpp>

namespace harnel {

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
