#pragma once
// PhyMemoryNode: one node per installed memory module.

#include <filesystem>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "harnel/findings/reasons.h"
#include "harnel/linux/dmi_id.h"

#include "harnel/decode/smbios_records.h"

namespace harnel::linux {

// The installed modules that udev's memory-device properties describe (world-readable in
// /run/udev/data/+dmi:id); modules marked absent or without size are left out.
std::vector<decode::SmbiosMemoryDevice> ParseUdevMemoryDevices(std::string_view text);

// The installed modules of the machine under `root`, in the order of the PhyMemory list's
// nodes: the SMBIOS table's, else (`fromUdev`) udev's properties. `firmware`, when given, notes
// what the read of the table found.
struct MemoryDevices {
  std::vector<decode::SmbiosMemoryDevice> devices;
  bool fromUdev = false;
};
MemoryDevices ReadMemoryDevices(const std::filesystem::path& root,
                                FirmwareFacts* firmware = nullptr);

// The PhyMemory list of the machine under `root`: the SMBIOS table, else udev's properties.
nlohmann::json ProbePhyMemoryList(const std::filesystem::path& root, FirmwareFacts& firmware);

// Why the PhyMemoryList is empty where it is, from what ProbePhyMemoryList found.
void ExplainPhyMemoryList(const FirmwareFacts& firmware, findings::Reasons& why);

}  // namespace harnel::linux
