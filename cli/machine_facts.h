#pragma once
// What the host adds to the profile's "Machine" key (harnel/machine_key.h): the fields it holds
// for each record and their captions. The key itself comes from the provider (provider_json.h).

#include <span>
#include <string>
#include <string_view>

#include "fleet/machine_facts_of.h"
#include "harnel/machine_key.h"

namespace velmora::cli {

using fleet::MachineFactsOf;
using harnel::kMachineKey;
using harnel::kSystemSchema;

// The fields the Machine key adds to each node of the record under `recordKey`, in table order;
// empty for a record it adds nothing to.
std::span<const std::string_view> MachineFields(std::string_view recordKey);

// The caption of a field the Machine key holds, in the pair labels' vocabulary ("系统序列号");
// empty for a field it does not hold. `recordKey` is the record it adds to, or "Machine.System".
std::string MachineFieldCaption(std::string_view recordKey, std::string_view field);

}  // namespace velmora::cli
