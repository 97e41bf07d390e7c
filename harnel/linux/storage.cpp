// The StorageList reader on Linux: whole disks and optical drives from /sys/block.

#include "harnel/linux/storage.h"

#include <array>

#include "harnel/decode/put_fields.h"
#include "harnel/decode/record_formats.h"
#include "harnel/decode/text_util.h"
#include "harnel/linux/machine_files.h"
#include "harnel/linux/pci.h"
#include "harnel/linux/source_reasons.h"

namespace harnel::linux {
namespace {

constexpr std::string_view kBlockFolder = "/sys/block";
constexpr std::uint64_t kSectorBytes = 512;  // /sys/block/X/size counts 512-byte sectors
constexpr std::uint64_t kScsiOpticalType = 5;
constexpr std::array<std::string_view, 3> kVirtualPrefixes = {"loop", "ram", "zram"};

struct Family {
  std::string_view prefix, description;
};
constexpr std::array<Family, 7> kFamilies = {{{"nvme", "NVMe disk drive"},
                                              {"sr", "CD-ROM drive"},
                                              {"sd", "SCSI disk drive"},
                                              {"vd", "Virtio disk drive"},
                                              {"xvd", "Xen virtual disk drive"},
                                              {"mmcblk", "MMC/SD card"},
                                              {"hd", "IDE disk drive"}}};

std::optional<std::string> Description(const std::filesystem::path& root, std::string_view name) {
  // USB disks are SCSI disks to the kernel; the device path tells them apart.
  if (decode::StartsWith(name, "sd") &&
      ReadMachineLink(root, std::string(kBlockFolder) + "/" + std::string(name)).find("/usb") !=
          std::string::npos) {
    return std::string("USB disk drive");
  }
  for (const Family& family : kFamilies) {
    if (decode::StartsWith(name, family.prefix)) return std::string(family.description);
  }
  return std::string("Disk drive");
}

// SCSI and ATA disks name their vendor and model ("ATA" says only which bus); virtio and
// similar disks are named by the PCI function that carries them.
struct DiskIdentity {
  std::optional<std::string> manufacturer, model;
};

DiskIdentity Identity(const std::filesystem::path& root, const std::string& device) {
  DiskIdentity identity;
  std::optional<std::string> vendor = ReadMachineText(root, device + "/vendor");
  if (vendor && *vendor != "ATA" && !decode::StartsWith(*vendor, "0x"))
    identity.manufacturer = vendor;
  identity.model = ReadMachineText(root, device + "/model");
  if (identity.manufacturer && identity.model) return identity;
  if (std::optional<PciDevice> function = FindPciFunction(root, device)) {
    const PciNames names = PciNames::ForRoot(root, {*function});
    if (!identity.manufacturer) identity.manufacturer = names.Vendor(function->vendor);
    if (!identity.model) identity.model = names.Device(function->vendor, function->device);
  }
  return identity;
}

std::optional<std::int64_t> SizeMB(const std::filesystem::path& root, const std::string& folder) {
  std::optional<std::string> sectors = ReadMachineText(root, folder + "/size");
  std::optional<std::uint64_t> count = sectors ? decode::ParseUnsigned(*sectors) : std::nullopt;
  if (!count) return std::nullopt;
  return static_cast<std::int64_t>(*count / (1024 * 1024 / kSectorBytes));
}

}  // namespace

std::string MediaType(std::string_view name, std::optional<std::uint64_t> scsiType,
                      bool removable) {
  return decode::MediaTypeText(scsiType == kScsiOpticalType || decode::StartsWith(name, "sr"),
                               removable);
}

bool IsVirtualBlockDevice(std::string_view name) {
  for (std::string_view prefix : kVirtualPrefixes) {
    if (decode::StartsWith(name, prefix)) return true;
  }
  return false;
}

nlohmann::json ProbeStorageList(const std::filesystem::path& root, SourceFact& listing) {
  DisposableJson list = nlohmann::json::array();
  for (const std::string& name : ListMachineDir(root, kBlockFolder, &listing)) {
    if (IsVirtualBlockDevice(name)) continue;
    const std::string folder = std::string(kBlockFolder) + "/" + name;
    const std::string device = folder + "/device";
    std::optional<std::string> type = ReadMachineText(root, device + "/type");
    const bool removable = ReadMachineText(root, folder + "/removable") == "1";
    DisposableJson node = nlohmann::json::object();
    decode::PutText(node, "name", "/dev/" + name);
    decode::PutText(node, "mediaType",
                    MediaType(name, type ? decode::ParseUnsigned(*type) : std::nullopt, removable));
    const DiskIdentity identity = Identity(root, device);
    decode::PutText(node, "manufacturer", identity.manufacturer);
    decode::PutText(node, "model", identity.model);
    decode::PutInt(node, "sizeMB", SizeMB(root, folder));
    decode::PutText(node, "description", Description(root, name));
    list.push_back(std::move(node));
  }
  return decode::ListOrNull(std::move(list));
}

void ExplainStorageList(const SourceFact& listing, findings::Reasons& why) {
  why.Absent(WhyNoNode(listing, "no disk or drive in " + listing.path));
  why.EveryNode("manufacturer", "the disk names no vendor beyond its bus, and pci.ids none");
  why.EveryNode("model", "the disk gives no model");
  why.EveryNode("sizeMB", "the drive gives no size: no medium in it");
}

}  // namespace harnel::linux
