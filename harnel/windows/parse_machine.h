#pragma once
// The Machine key's facts on Windows, parsed from the raw data the readers gathered. Needs
// nothing of Windows, so both builds test it on captured machines.

#include <nlohmann/json.hpp>

#include "harnel/findings/machine_reading.h"

namespace harnel::windows {

// The facts that `raw` gives, keyed as the records' raw data are: "BIOS" (the SMBIOS table),
// "Processor" (CPUID), "StorageList", "MonitorList" and "NetworkadapterList", and "System",
// the registry's copy of the firmware's system texts. Never throws for odd data.
findings::MachineReading ParseMachineFacts(const nlohmann::json& raw);

}  // namespace harnel::windows
