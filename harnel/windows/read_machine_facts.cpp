// The Machine key's facts of the running Windows machine: the records' raw data that hold
// them, and the registry's copy of the firmware's system texts.

#include <windows.h>

#include "harnel/machine_facts.h"
#include "harnel/schema.h"
#include "harnel/windows/parse_machine.h"
#include "harnel/windows/read.h"
#include "harnel/windows/registry.h"

namespace harnel {

MachineFacts ReadMachineFacts(const std::filesystem::path& /*root*/) {
  DisposableJson raw = nlohmann::json::object();
  PutJson(raw, kProfileKey<BIOSInfo>, windows::ReadSmbios());
  for (std::string_view key : {kProfileKey<ProcessorInfo>, kProfileKey<StorageNode>,
                               kProfileKey<MonitorNode>, kProfileKey<NetworkadapterNode>}) {
    PutJson(raw, key, windows::ReadWindowsRecord(key));
  }
  PutJson(raw, "System",
          windows::ReadRegistryValues(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\BIOS",
                                      {L"SystemManufacturer", L"SystemProductName", L"SystemSKU"}));
  const findings::MachineReading reading = windows::ParseMachineFacts(raw);
  return {findings::MachineKeyOf(reading), findings::MachineReasonsOf(reading)};
}

}  // namespace harnel
