#include "harnel/probe/pci.h"

#include <algorithm>
#include <cstdint>

#include "harnel/probe/machine_files.h"
#include "harnel/probe/pci_ids.h"
#include "harnel/probe/text_util.h"

namespace harnel::probe {
namespace {

constexpr std::string_view kPciDevicesFolder = "/sys/bus/pci/devices";
constexpr std::string_view kPciIdsPaths[] = {"/usr/share/misc/pci.ids",
                                             "/usr/share/hwdata/pci.ids"};
std::uint32_t HexAttribute(const std::filesystem::path& root, const std::string& path) {
  std::optional<std::string> text = ReadMachineText(root, path);
  return static_cast<std::uint32_t>(text ? ParseUnsigned(*text, 16).value_or(0) : 0);
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
  const std::optional<std::uint64_t> first = ParseUnsigned(text.substr(0, colon), 16);
  const std::optional<std::uint64_t> second = ParseUnsigned(text.substr(colon + 1), 16);
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
  for (std::string_view line : SplitLines(text)) {
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
      std::optional<std::uint64_t> code = ParseUnsigned(value, 16);
      hasClass = code && *code <= 0xFFFFFF;
      if (hasClass) device.classCode = static_cast<std::uint32_t>(*code);
    }
  }
  if (!hasId || !hasClass) return std::nullopt;
  return device;
}

std::vector<PciDevice> ReadPciDevices(const std::filesystem::path& root) {
  std::vector<PciDevice> devices;
  for (const std::string& address : ListMachineDir(root, kPciDevicesFolder)) {
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

PciNames::PciNames(std::string_view ids, const std::vector<PciDevice>& devices) {
  Load(SelectPciIds(ids, devices));
}

PciNames PciNames::ForRoot(const std::filesystem::path& root,
                           const std::vector<PciDevice>& devices) {
  PciNames names;
  for (std::string_view path : kPciIdsPaths) {
    const MachineFile file(root, path);
    if (file.Size() == 0) continue;
    PciIdsText ids(file);
    names.Load(SelectPciIds(ids, devices));
    break;
  }
  return names;
}

namespace {

// The ID of `digits` hex digits that starts `text` and the name after the blanks that follow
// it; nullopt when the digits, the blanks or the name are missing.
std::optional<std::pair<std::uint32_t, std::string_view>> IdAndName(std::string_view text,
                                                                    std::size_t digits) {
  if (text.size() <= digits || (text[digits] != ' ' && text[digits] != '\t')) return std::nullopt;
  std::uint32_t id = 0;
  for (const char c : text.substr(0, digits)) {
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) return std::nullopt;
    id = id << 4 | static_cast<std::uint32_t>(digit);
  }
  text.remove_prefix(digits);
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  if (text.empty()) return std::nullopt;
  return std::pair(id, text);
}

}  // namespace

void PciNames::Load(std::string_view selected) {
  // Vendors with their models one tab in, then classes ("C 03") with their subclasses; lines
  // two tabs in (subsystems, programming interfaces) and comments name nothing asked for.
  enum class Block { None, Vendor, Class } block = Block::None;
  std::uint32_t owner = 0;
  for (std::string_view line : SplitLines(selected)) {
    if (line.empty() || line.front() == '#') continue;
    if (line.front() != '\t') {
      block = Block::None;
      const bool isClass = line.starts_with("C ");
      const auto entry = isClass ? IdAndName(line.substr(2), 2) : IdAndName(line, 4);
      if (!entry) continue;
      block = isClass ? Block::Class : Block::Vendor;
      owner = entry->first;
      // The first line of an ID holds, as in a lookup that stops at the first match.
      (isClass ? classes_ : vendors_).emplace(owner, entry->second);
      continue;
    }
    if (line.size() > 1 && line[1] == '\t') continue;
    if (block == Block::Vendor) {
      if (const auto entry = IdAndName(line.substr(1), 4)) {
        models_.emplace(owner << 16 | entry->first, entry->second);
      }
    } else if (block == Block::Class) {
      if (const auto entry = IdAndName(line.substr(1), 2)) {
        subclasses_.emplace(owner << 8 | entry->first, entry->second);
      }
    }
  }
}

namespace {

std::optional<std::string> Lookup(const std::map<std::uint32_t, std::string>& names,
                                  std::uint32_t key) {
  const auto found = names.find(key);
  return found != names.end() ? std::optional<std::string>(found->second) : std::nullopt;
}

}  // namespace

std::optional<std::string> PciNames::Vendor(std::uint16_t vendor) const {
  return Lookup(vendors_, vendor);
}

std::optional<std::string> PciNames::Device(std::uint16_t vendor, std::uint16_t device) const {
  return Lookup(models_, static_cast<std::uint32_t>(vendor) << 16 | device);
}

std::optional<std::string> PciNames::Class(std::uint32_t classCode) const {
  if (std::optional<std::string> name = Lookup(subclasses_, classCode >> 8 & 0xFFFF)) return name;
  return Lookup(classes_, classCode >> 16 & 0xFF);
}

}  // namespace harnel::probe
