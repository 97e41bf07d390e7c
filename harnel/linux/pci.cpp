// Listing PCI devices from /sys/bus/pci/devices and naming them from pci.ids.

#include "harnel/linux/pci.h"

#include <cstdio>
#include <set>
#include <tuple>

#include "harnel/decode/text_util.h"
#include "harnel/linux/machine_files.h"
#include "harnel/linux/pci_ids.h"
#include "harnel/linux/pci_ids_names.h"

namespace harnel::linux {
namespace {

constexpr std::string_view kPciDevicesFolder = "/sys/bus/pci/devices";
constexpr std::string_view kPciIdsPaths[] = {"/usr/share/misc/pci.ids",
                                             "/usr/share/hwdata/pci.ids"};
// The longest name given, in bytes: lspci's names end there, a longer one cut with its last
// three bytes made "...", and the names here are the same.
constexpr std::size_t kNameLimit = 255;

std::uint32_t HexAttribute(const std::filesystem::path& root, const std::string& path) {
  std::optional<std::string> text = ReadMachineText(root, path);
  return static_cast<std::uint32_t>(text ? decode::ParseUnsigned(*text, 16).value_or(0) : 0);
}

}  // namespace

std::string PciDeviceFolder(const PciDevice& device) {
  return std::string(kPciDevicesFolder) + "/" + device.address;
}

namespace {

bool IsValidVendor(std::uint16_t vendor) { return vendor != 0 && vendor != 0xFFFF; }

// The "XXXX:XXXX" pair of hex numbers in `text`.
std::optional<std::pair<std::uint16_t, std::uint16_t>> HexPair(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::optional<std::uint64_t> first = decode::ParseUnsigned(text.substr(0, colon), 16);
  const std::optional<std::uint64_t> second = decode::ParseUnsigned(text.substr(colon + 1), 16);
  if (!first || !second || *first > 0xFFFF || *second > 0xFFFF) return std::nullopt;
  return std::pair(static_cast<std::uint16_t>(*first), static_cast<std::uint16_t>(*second));
}

// One read of `uevent` gives every number; a tree without it (an older kernel, a fixture)
// gives them one attribute file at a time.
PciDevice ReadPciAttributes(const std::filesystem::path& root, const std::string& folder,
                            std::string address) {
  std::optional<PciDevice> device;
  if (std::optional<std::string> uevent = ReadMachineFile(root, folder + "/uevent", 4096)) {
    device = ParsePciUevent(*uevent);
  }
  if (!device) {
    device.emplace();
    device->vendor = static_cast<std::uint16_t>(HexAttribute(root, folder + "/vendor"));
    device->device = static_cast<std::uint16_t>(HexAttribute(root, folder + "/device"));
    device->subVendor =
        static_cast<std::uint16_t>(HexAttribute(root, folder + "/subsystem_vendor"));
    device->subDevice =
        static_cast<std::uint16_t>(HexAttribute(root, folder + "/subsystem_device"));
    device->classCode = HexAttribute(root, folder + "/class");
  }
  device->address = std::move(address);
  return *device;
}

}  // namespace

std::optional<PciDevice> ParsePciUevent(std::string_view text) {
  PciDevice device;
  bool hasId = false, hasClass = false;
  for (std::string_view line : decode::SplitLines(text)) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
    if (key == "PCI_ID") {
      const auto ids = HexPair(value);
      hasId = ids.has_value();
      if (hasId) device.vendor = ids->first, device.device = ids->second;
    } else if (key == "PCI_SUBSYS_ID") {
      if (auto ids = HexPair(value)) device.subVendor = ids->first, device.subDevice = ids->second;
    } else if (key == "PCI_CLASS") {
      std::optional<std::uint64_t> code = decode::ParseUnsigned(value, 16);
      hasClass = code && *code <= 0xFFFFFF;
      if (hasClass) device.classCode = static_cast<std::uint32_t>(*code);
    }
  }
  if (!hasId || !hasClass) return std::nullopt;
  return device;
}

std::vector<PciDevice> ReadPciDevices(const std::filesystem::path& root, SourceFact* folder) {
  std::vector<PciDevice> devices;
  for (const std::string& address : ListMachineDir(root, kPciDevicesFolder, folder)) {
    PciDevice device =
        ReadPciAttributes(root, std::string(kPciDevicesFolder) + "/" + address, address);
    if (IsValidVendor(device.vendor)) devices.push_back(device);
  }
  return devices;
}

std::optional<PciDevice> FindPciFunction(const std::filesystem::path& root,
                                         const std::string& folder) {
  for (const std::string& candidate : {folder, folder + "/device", folder + "/.."}) {
    const std::filesystem::path bus(ReadMachineLink(root, candidate + "/subsystem"));
    if (bus.filename() != "pci") continue;
    PciDevice device = ReadPciAttributes(root, candidate, "");
    if (IsValidVendor(device.vendor)) return device;
  }
  return std::nullopt;
}

std::string SelectPciIds(std::string_view ids, const std::vector<PciDevice>& devices) {
  PciIdsText text(ids);
  return SelectPciIds(text, devices);
}

namespace {

// The three IDs a device's names hang on.
using NameKey = std::tuple<std::uint16_t, std::uint16_t, std::uint16_t>;
NameKey KeyOf(const PciDevice& device) {
  return {device.vendor, device.device, device.ClassAndSubclass()};
}

// The names found in a database file for the devices named so far: names looked up for
// given IDs in an unchanged file cannot change, so later requests (a long-running agent asking
// again, the video adapters after the controllers) neither select lines nor read them for
// devices named before.
struct KeptNames {
  std::set<NameKey> named;  // the devices whose names below are complete
  PciNames names;
  std::size_t Size() const { return named.size(); }
};

// Devices named beyond this are started afresh, bounding a long-running process.
constexpr std::size_t kNamedLimit = 4096;

// `name` cut to kNameLimit bytes.
std::string Limited(std::string name) {
  if (name.size() > kNameLimit) name.replace(kNameLimit - 3, std::string::npos, "...");
  return name;
}

}  // namespace

PciNames::PciNames(std::string_view ids, const std::vector<PciDevice>& devices) {
  Resolve(SelectPciIds(ids, devices), devices);
}

PciNames PciNames::ForRoot(const std::filesystem::path& root,
                           const std::vector<PciDevice>& devices) {
  PciNames names;
  for (std::string_view path : kPciIdsPaths) {
    const MachineFile file(root, path);
    if (file.Size() == 0) continue;
    static FileMemo<KeptNames> shared;
    shared.With(file.Identity(), kNamedLimit, [&](KeptNames& kept) {
      std::vector<PciDevice> unnamed;
      for (const PciDevice& device : devices) {
        if (!kept.named.contains(KeyOf(device))) unnamed.push_back(device);
      }
      if (!unnamed.empty()) {
        PciIdsText ids(file);
        kept.names.Resolve(SelectPciIds(ids, unnamed), unnamed);
        for (const PciDevice& device : unnamed) kept.named.insert(KeyOf(device));
      }
      names.CopyFrom(kept.names, devices);
    });
    break;
  }
  return names;
}

void PciNames::Resolve(const std::string& selected, const std::vector<PciDevice>& devices) {
  const PciIdsNames found = ReadPciIdsNames(selected);
  for (const PciDevice& device : devices) {
    if (auto vendor = found.vendors.find(device.vendor); vendor != found.vendors.end())
      vendors_[device.vendor] = Limited(vendor->second);
    const std::uint32_t key = ModelKey(device.vendor, device.device);
    if (auto model = found.models.find(key); model != found.models.end())
      models_[key] = Limited(model->second);
    const std::uint16_t subclass = device.ClassAndSubclass();
    if (auto type = found.subclasses.find(subclass); type != found.subclasses.end()) {
      classes_[subclass] = Limited(type->second);
    } else if (auto base = found.classes.find(device.BaseClass()); base != found.classes.end()) {
      // A subclass the database does not know is named by its class. lspci writes the code
      // after that name (" [0377]") and cuts the two together; the code is left out here, and
      // a name that lspci cuts is cut alike.
      char code[16];
      std::snprintf(code, sizeof code, " [%04x]", static_cast<unsigned>(subclass));
      classes_[subclass] = base->second.size() + std::string_view(code).size() <= kNameLimit
                               ? base->second
                               : Limited(base->second + code);
    }
  }
}

void PciNames::CopyFrom(const PciNames& from, const std::vector<PciDevice>& devices) {
  for (const PciDevice& device : devices) {
    if (auto found = from.vendors_.find(device.vendor); found != from.vendors_.end())
      vendors_.insert(*found);
    if (auto found = from.models_.find(ModelKey(device.vendor, device.device));
        found != from.models_.end())
      models_.insert(*found);
    if (auto found = from.classes_.find(device.ClassAndSubclass()); found != from.classes_.end())
      classes_.insert(*found);
  }
}

namespace {

template <typename Map, typename Key>
std::optional<std::string> Find(const Map& names, Key key) {
  const auto found = names.find(key);
  return found != names.end() ? std::optional<std::string>(found->second) : std::nullopt;
}

}  // namespace

std::optional<std::string> PciNames::Vendor(std::uint16_t vendor) const {
  return Find(vendors_, vendor);
}

std::optional<std::string> PciNames::Device(std::uint16_t vendor, std::uint16_t device) const {
  return Find(models_, ModelKey(vendor, device));
}

std::optional<std::string> PciNames::Class(std::uint32_t classCode) const {
  return Find(classes_, static_cast<std::uint16_t>(classCode >> 8));
}

}  // namespace harnel::linux
