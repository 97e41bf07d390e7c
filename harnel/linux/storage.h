#pragma once
// StorageNode: whole disks and optical drives.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "harnel/findings/reasons.h"
#include "harnel/linux/machine_files.h"

namespace harnel::linux {

// The media type text of a block device: "CD-ROM" for optical drives (SCSI type 5 or "sr"),
// "Removable media" for removable ones, "Fixed\thard disk media" otherwise.
std::string MediaType(std::string_view name, std::optional<std::uint64_t> scsiType, bool removable);

// True for the kernel's virtual block devices (loop, ram, zram), which are no storage.
bool IsVirtualBlockDevice(std::string_view name);

// The StorageList of the machine under `root`, one node per /sys/block device.
// `listing` notes the listing of /sys/block.
nlohmann::json ProbeStorageList(const std::filesystem::path& root, SourceFact& listing);

// Why the StorageList is empty where it is, from what ProbeStorageList found.
void ExplainStorageList(const SourceFact& listing, findings::Reasons& why);

}  // namespace harnel::linux
