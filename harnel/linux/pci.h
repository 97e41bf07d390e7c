#pragma once
// PCI devices as the kernel lists them in /sys/bus/pci/devices, named from the pci.ids
// database.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "harnel/linux/machine_files.h"

namespace harnel::linux {

// One function on the PCI bus.
struct PciDevice {
  std::string address;  // "0000:00:02.0", the folder name under /sys/bus/pci/devices
  std::uint16_t vendor = 0, device = 0, subVendor = 0, subDevice = 0;
  std::uint32_t classCode = 0;  // base class, subclass, programming interface

  std::uint8_t BaseClass() const { return static_cast<std::uint8_t>(classCode >> 16); }
  std::uint16_t ClassAndSubclass() const { return static_cast<std::uint16_t>(classCode >> 8); }
};

// The PCI functions of the machine under `root`, in bus order; empty without PCI. `folder`, when
// given, notes the listing of /sys/bus/pci/devices.
std::vector<PciDevice> ReadPciDevices(const std::filesystem::path& root,
                                      SourceFact* folder = nullptr);

// The reason for a field named from pci.ids that has no name.
inline constexpr std::string_view kNamedByPciIds = "pci.ids does not name it";

// The PCI function at or right above the device folder `folder` ("/sys/class/net/eth0/device"):
// class devices (an NVMe controller) link to theirs as "device", virtio devices sit one level
// below the PCI function that carries them.
std::optional<PciDevice> FindPciFunction(const std::filesystem::path& root,
                                         const std::string& folder);

// The device's sysfs folder ("/sys/bus/pci/devices/0000:00:02.0").
std::string PciDeviceFolder(const PciDevice& device);

// The PCI function's numbers from the text of its sysfs `uevent` file (PCI_ID, PCI_SUBSYS_ID,
// PCI_CLASS); nullopt when the text lacks a valid vendor or the class.
std::optional<PciDevice> ParsePciUevent(std::string_view text);

// The lines of pci.ids text `ids` that naming `devices` needs: their vendors, their models
// and their classes and subclasses (see harnel/linux/pci_ids.h).
std::string SelectPciIds(std::string_view ids, const std::vector<PciDevice>& devices);

// Names from pci.ids text for the devices given, as lspci shows them: lookups only read the
// text given, never the bus, the network or udev's database. A name is at most 255 bytes; a
// longer one is cut there, its last three bytes made "...".
class PciNames {
 public:
  // No names at all.
  PciNames() = default;
  // Names for `devices` (vendor, model, class) from the pci.ids text `ids`; names of other
  // devices are nullopt, as is every name when the text is empty.
  PciNames(std::string_view ids, const std::vector<PciDevice>& devices);
  // The same from the database of the machine under `root` (/usr/share/misc/pci.ids), of
  // which only the lines needed are read. The names are kept for the process while the file
  // stays the same, so devices named before are named again without reading it.
  static PciNames ForRoot(const std::filesystem::path& root, const std::vector<PciDevice>& devices);

  std::optional<std::string> Vendor(std::uint16_t vendor) const;
  std::optional<std::string> Device(std::uint16_t vendor, std::uint16_t device) const;
  // The subclass name ("VGA compatible controller"), else the base class name.
  std::optional<std::string> Class(std::uint32_t classCode) const;

 private:
  static std::uint32_t ModelKey(std::uint16_t vendor, std::uint16_t device) {
    return static_cast<std::uint32_t>(vendor) << 16 | device;
  }
  // Adds the names of `devices` that the pci.ids lines `selected` give.
  void Resolve(const std::string& selected, const std::vector<PciDevice>& devices);
  // Adds the names `from` holds for `devices`.
  void CopyFrom(const PciNames& from, const std::vector<PciDevice>& devices);

  std::map<std::uint16_t, std::string> vendors_;  // found names only
  std::map<std::uint32_t, std::string> models_;   // by ModelKey
  std::map<std::uint16_t, std::string> classes_;  // by class and subclass
};

}  // namespace harnel::linux
