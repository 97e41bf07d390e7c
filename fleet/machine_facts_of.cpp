#include "fleet/machine_facts_of.h"

#include <string>

#include "harnel/machine_key.h"

namespace velmora::fleet {
namespace {

const nlohmann::json kNothing;

}  // namespace

const nlohmann::json& MachineFactsOf(const nlohmann::json& profile, std::string_view recordKey,
                                     std::size_t index) {
  if (!profile.is_object()) return kNothing;
  const auto machine = profile.find(std::string(harnel::kMachineKey));
  if (machine == profile.end() || !machine->is_object()) return kNothing;
  constexpr std::string_view kPrefix = "Machine.";
  if (recordKey.starts_with(kPrefix)) recordKey.remove_prefix(kPrefix.size());
  const auto facts = machine->find(std::string(recordKey));
  if (facts == machine->end()) return kNothing;
  if (facts->is_object()) return index == 0 ? *facts : kNothing;
  if (facts->is_array() && index < facts->size() && (*facts)[index].is_object()) {
    return (*facts)[index];
  }
  return kNothing;
}

}  // namespace velmora::fleet
