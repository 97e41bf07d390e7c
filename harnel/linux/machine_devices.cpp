// The facts of the memory modules, disks, displays and network adapters on Linux, one set per
// node of each record list, taken in the order its reader lists them.

#include "harnel/decode/firmware_facts.h"
#include "harnel/decode/text_util.h"
#include "harnel/findings/reasons.h"
#include "harnel/linux/drm.h"
#include "harnel/linux/machine_files.h"
#include "harnel/linux/machine_readers.h"
#include "harnel/linux/networkadapter.h"
#include "harnel/linux/phymemory.h"
#include "harnel/linux/storage.h"
#include "harnel/machine_key.h"

namespace harnel::linux {
namespace {

constexpr std::string_view kBlockFolder = "/sys/block";
constexpr std::string_view kNetFolder = "/sys/class/net";
constexpr std::size_t kEdidLimit = 32768;

// The bus a disk hangs on, from its name or the path of its device: the first row that
// matches. libata's disks count as SATA, since parallel ATA disks are gone from the machines
// still running.
struct DiskBus {
  std::string_view namePrefix, pathPart, bus;
};
constexpr DiskBus kDiskBuses[] = {
    {"nvme", {}, "NVME"},  {{}, "/usb", "USB"}, {{}, "/ata", "SATA"}, {{}, "/virtio", "VIRTIO"},
    {"mmcblk", {}, "MMC"}, {"xvd", {}, "XEN"},  {"hd", {}, "IDE"},    {{}, "/host", "SCSI"},
};

// Interface kinds from the kernel's device type (uevent DEVTYPE), then from the hardware type
// number of /sys/class/net/X/type (ARPHRD_*).
struct KindByName {
  std::string_view devtype, kind;
};
constexpr KindByName kKindsByDevtype[] = {
    {"wlan", "wifi"},
    {"bridge", "bridge"},
    {"bond", "aggregate"},
    {"bluetooth", "bluetooth"},
};
struct KindByType {
  std::uint64_t first, last;
  std::string_view kind;
};
constexpr KindByType kKindsByType[] = {
    {1, 1, "ethernet"},     {32, 32, "infiniband"},     {512, 512, "dialup"},
    {772, 772, "loopback"}, {784, 787, "fibrechannel"},
};

// The text of a SCSI or SATA disk's unit serial number page: 4 header bytes, the fourth the
// text's length.
std::optional<std::string> UnitSerialPage(std::string_view page) {
  if (page.size() < 4) return std::nullopt;
  const std::string_view text = decode::Trim(page.substr(4, static_cast<unsigned char>(page[3])));
  if (text.empty()) return std::nullopt;
  return std::string(text);
}

findings::FactSet DiskFacts(const std::filesystem::path& root, const std::string& name) {
  findings::FactSet disk;
  const std::string folder = std::string(kBlockFolder) + "/" + name;
  const std::string device = folder + "/device";
  findings::Fact& serial = disk[machine::kSerialNumber];
  // The kernel's attribute where the driver gives one, else the disk's own page.
  for (const std::string& path : {folder + "/serial", device + "/serial"}) {
    if (serial.Known()) break;
    if (auto text = ReadNoted(root, path, serial)) serial.Take(*text);
  }
  if (!serial.Known()) {
    const std::string page = device + "/vpd_pg80";
    std::optional<std::string> bytes = ReadMachineFile(root, page, 1 << 12);
    if (!bytes) NoteUnread(root, page, serial);
    if (bytes && !serial.Take(UnitSerialPage(*bytes).value_or(""))) {
      serial.Miss(page, findings::SourceAnswer::SourceSilent);
    }
  }
  findings::Fact& firmware = disk[machine::kFirmware];
  for (const std::string& path : {device + "/firmware_rev", device + "/rev"}) {
    if (firmware.Known()) break;
    if (auto text = ReadNoted(root, path, firmware)) firmware.Take(*text);
  }
  findings::Fact& bus = disk[machine::kInterface];
  const std::string link = ReadMachineLink(root, folder);
  for (const DiskBus& row : kDiskBuses) {
    const bool named = !row.namePrefix.empty() && decode::StartsWith(name, row.namePrefix);
    const bool onPath = !row.pathPart.empty() && link.find(row.pathPart) != std::string::npos;
    if ((named || onPath) && bus.Take(std::string(row.bus))) break;
  }
  bus.Miss({}, findings::SourceAnswer::SourceSays, "the disk's device path names no known bus");
  return disk;
}

std::optional<std::string> KindOf(const std::filesystem::path& root, const std::string& folder,
                                  findings::Fact& kind) {
  if (auto uevent = ReadMachineFile(root, folder + "/uevent", 1 << 12)) {
    for (std::string_view line : decode::SplitLines(*uevent)) {
      if (!decode::StartsWith(line, "DEVTYPE=")) continue;
      for (const KindByName& row : kKindsByDevtype) {
        if (line.substr(8) == row.devtype) return std::string(row.kind);
      }
    }
  }
  // Older kernels tell a wireless interface by these folders alone.
  const bool wireless = MachineFileExists(root, folder + "/wireless") ||
                        MachineFileExists(root, folder + "/phy80211");
  const std::string typePath = folder + "/type";
  const std::optional<std::string> text = ReadNoted(root, typePath, kind);
  const std::optional<std::uint64_t> type = text ? decode::ParseUnsigned(*text) : std::nullopt;
  if (!type) return std::nullopt;
  if (*type == 1 && wireless) return std::string("wifi");
  for (const KindByType& row : kKindsByType) {
    if (*type >= row.first && *type <= row.last) return std::string(row.kind);
  }
  kind.Miss({}, findings::SourceAnswer::SourceSays,
            "the interface's type " + std::to_string(*type) + " is none of the listed kinds");
  return std::nullopt;
}

findings::FactSet AdapterFacts(const std::filesystem::path& root, const std::string& name) {
  findings::FactSet adapter;
  const std::string folder = std::string(kNetFolder) + "/" + name;
  adapter[machine::kInterfaceName].Take(name);
  findings::Fact& kind = adapter[machine::kKind];
  if (auto found = KindOf(root, folder, kind)) kind.Take(*found);
  findings::Fact& status = adapter[machine::kStatus];
  if (auto text = ReadNoted(root, folder + "/operstate", status)) status.Take(*text);
  findings::Fact& mtu = adapter[machine::kMtu];
  if (auto text = ReadNoted(root, folder + "/mtu", mtu)) {
    const std::optional<std::uint64_t> bytes = decode::ParseUnsigned(*text);
    if (!bytes || *bytes > 0x7FFFFFFF || !mtu.Take(static_cast<std::int64_t>(*bytes))) {
      mtu.Miss(folder + "/mtu", findings::SourceAnswer::SourceSilent);
    }
  }
  return adapter;
}

}  // namespace

std::vector<findings::FactSet> ReadModuleFacts(const std::filesystem::path& root) {
  const MemoryDevices read = ReadMemoryDevices(root);
  return decode::ModuleFacts(
      read.devices, read.fromUdev ? "udev's copy of the firmware table" : decode::kFirmwareTable);
}

std::vector<findings::FactSet> ReadDiskFacts(const std::filesystem::path& root) {
  std::vector<findings::FactSet> disks;
  for (const std::string& name : ListMachineDir(root, kBlockFolder)) {
    if (!IsVirtualBlockDevice(name)) disks.push_back(DiskFacts(root, name));
  }
  return disks;
}

std::vector<findings::FactSet> ReadMonitorFacts(const std::filesystem::path& root) {
  std::vector<findings::FactSet> monitors;
  for (const DrmConnector& connector : ReadConnectedDisplays(root)) {
    monitors.push_back(decode::DisplayFacts(
        ReadMachineFile(root, "/sys/class/drm/" + connector.name + "/edid", kEdidLimit)));
  }
  return monitors;
}

std::vector<findings::FactSet> ReadAdapterFacts(const std::filesystem::path& root) {
  std::vector<findings::FactSet> adapters;
  for (const std::string& name : PhysicalInterfaces(root)) {
    adapters.push_back(AdapterFacts(root, name));
  }
  return adapters;
}

}  // namespace harnel::linux
