#pragma once
// The Machine key's facts on Windows, parsed from the raw data the readers gathered. Needs
// nothing of Windows, so both builds test it on captured machines.

#include <nlohmann/json.hpp>

#include "harnel/decode/machine_reading.h"

namespace harnel::winprobe {

// The facts that `raw` gives, keyed as the records' raw data are: "BIOS" (the SMBIOS table),
// "Processor" (CPUID), "StorageList", "MonitorList" and "NetworkadapterList", and "System",
// the registry's copy of the firmware's system texts. Never throws for odd data.
probe::MachineReading ParseMachineFacts(const nlohmann::json& raw);

}  // namespace harnel::winprobe
