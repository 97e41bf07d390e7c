#include "harnel/probe/pci.h"

extern "C" {
#include <pci/pci.h>
}

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "harnel/probe/machine_files.h"
#include "harnel/probe/text_util.h"

namespace harnel::probe {
namespace {

constexpr std::string_view kPciDevicesFolder = "/sys/bus/pci/devices";
constexpr std::string_view kPciIdsPaths[] = {"/usr/share/misc/pci.ids",
                                             "/usr/share/hwdata/pci.ids"};
constexpr int kNameLength = 256;

// libpci's own handlers print to the terminal; a library stays silent. Its error handler may
// not return, and no lookup we make reaches it, so ending the process is the honest fallback.
[[noreturn]] void SilentError(char*, ...) { std::abort(); }
void SilentWarning(char*, ...) {}

std::uint32_t HexAttribute(const std::filesystem::path& root, const std::string& path) {
  std::optional<std::string> text = ReadMachineText(root, path);
  return static_cast<std::uint32_t>(text ? ParseUnsigned(*text, 16).value_or(0) : 0);
}

}  // namespace

std::string PciDeviceFolder(const PciDevice& device) {
  return std::string(kPciDevicesFolder) + "/" + device.address;
}

namespace {

PciDevice ReadPciAttributes(const std::filesystem::path& root, const std::string& folder,
                            std::string address) {
  PciDevice device;
  device.address = std::move(address);
  device.vendor = static_cast<std::uint16_t>(HexAttribute(root, folder + "/vendor"));
  device.device = static_cast<std::uint16_t>(HexAttribute(root, folder + "/device"));
  device.subVendor = static_cast<std::uint16_t>(HexAttribute(root, folder + "/subsystem_vendor"));
  device.subDevice = static_cast<std::uint16_t>(HexAttribute(root, folder + "/subsystem_device"));
  device.classCode = HexAttribute(root, folder + "/class");
  return device;
}

bool IsValidVendor(std::uint16_t vendor) { return vendor != 0 && vendor != 0xFFFF; }

}  // namespace

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

namespace {

// The number in the `digits` hex digits at the start of `line`; nullopt when they are not all
// hex digits.
std::optional<std::uint32_t> LeadingHex(std::string_view line, std::size_t digits) {
  if (line.size() < digits) return std::nullopt;
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    const char c = line[i];
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return value;
}

}  // namespace

std::string SelectPciIds(std::string_view ids, const std::vector<PciDevice>& devices) {
  std::string selected;
  // The open block: a vendor (its device lines are indented once) or a class (subclasses).
  enum class Block { Other, Vendor, Class } block = Block::Other;
  std::uint32_t blockId = 0;
  auto any = [&devices](auto&& match) {
    return std::any_of(devices.begin(), devices.end(), match);
  };
  while (!ids.empty()) {
    const std::size_t end = ids.find('\n');
    const std::string_view line =
        ids.substr(0, end == std::string_view::npos ? ids.size() : end + 1);
    ids.remove_prefix(line.size());
    if (line[0] == '#') continue;
    if (line[0] != '\t') {
      block = Block::Other;
      if (line.size() > 2 && line[0] == 'C' && line[1] == ' ') {
        std::optional<std::uint32_t> base = LeadingHex(line.substr(2), 2);
        if (base && any([&](const PciDevice& d) { return d.BaseClass() == *base; })) {
          block = Block::Class, blockId = *base;
        }
      } else if (std::optional<std::uint32_t> vendor = LeadingHex(line, 4)) {
        if (any([&](const PciDevice& d) { return d.vendor == *vendor; })) {
          block = Block::Vendor, blockId = *vendor;
        }
      }
      if (block != Block::Other) selected.append(line);
      continue;
    }
    // Lines indented twice (subsystems, programming interfaces) are never asked for.
    if (block == Block::Other || line.size() < 2 || line[1] == '\t') continue;
    if (block == Block::Vendor) {
      std::optional<std::uint32_t> model = LeadingHex(line.substr(1), 4);
      if (model &&
          any([&](const PciDevice& d) { return d.vendor == blockId && d.device == *model; })) {
        selected.append(line);
      }
    } else {
      std::optional<std::uint32_t> sub = LeadingHex(line.substr(1), 2);
      if (sub &&
          any([&](const PciDevice& d) { return d.ClassAndSubclass() == (blockId << 8 | *sub); })) {
        selected.append(line);
      }
    }
  }
  return selected;
}

PciNames::PciNames(std::string_view ids, const std::vector<PciDevice>& devices) {
  const std::string selected = SelectPciIds(ids, devices);
  if (selected.empty()) return;
  // libpci reads its database only from a named file; an in-memory file gives it just the
  // selected part without touching the disk.
  idsDescriptor_ = ::memfd_create("pci.ids", MFD_CLOEXEC);
  if (idsDescriptor_ < 0) return;
  std::size_t written = 0;
  while (written < selected.size()) {
    const ssize_t count =
        ::write(idsDescriptor_, selected.data() + written, selected.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return;
    written += static_cast<std::size_t>(count);
  }
  idsPath_ = "/proc/self/fd/" + std::to_string(idsDescriptor_);
  access_ = pci_alloc();
  if (!access_) return;
  access_->error = SilentError;
  access_->warning = SilentWarning;
  access_->debug = SilentWarning;
  // No cache file in the home folder, no DNS, no udev database: the given text alone.
  access_->id_lookup_mode = PCI_LOOKUP_NO_HWDB;
  pci_set_name_list_path(access_, idsPath_.data(), 0);
}

PciNames PciNames::ForRoot(const std::filesystem::path& root,
                           const std::vector<PciDevice>& devices) {
  for (std::string_view path : kPciIdsPaths) {
    const MappedFile ids(root, path);
    if (!ids.Bytes().empty()) return PciNames(ids.Bytes(), devices);
  }
  return PciNames(std::string_view(), devices);
}

PciNames::PciNames(PciNames&& other) noexcept
    : access_(other.access_),
      idsDescriptor_(other.idsDescriptor_),
      idsPath_(std::move(other.idsPath_)) {
  other.access_ = nullptr;
  other.idsDescriptor_ = -1;
  // A short path lives inside the string object, so its buffer moved.
  if (access_) pci_set_name_list_path(access_, idsPath_.data(), 0);
}

PciNames::~PciNames() {
  if (access_) pci_cleanup(access_);
  if (idsDescriptor_ >= 0) ::close(idsDescriptor_);
}
std::optional<std::string> PciNames::Vendor(std::uint16_t vendor) const {
  if (!access_) return std::nullopt;
  char name[kNameLength];
  const char* found = pci_lookup_name(access_, name, sizeof name,
                                      PCI_LOOKUP_VENDOR | PCI_LOOKUP_NO_NUMBERS, vendor);
  return found ? std::optional<std::string>(found) : std::nullopt;
}

std::optional<std::string> PciNames::Device(std::uint16_t vendor, std::uint16_t device) const {
  if (!access_) return std::nullopt;
  char name[kNameLength];
  const char* found = pci_lookup_name(access_, name, sizeof name,
                                      PCI_LOOKUP_DEVICE | PCI_LOOKUP_NO_NUMBERS, vendor, device);
  return found ? std::optional<std::string>(found) : std::nullopt;
}

std::optional<std::string> PciNames::Class(std::uint32_t classCode) const {
  if (!access_) return std::nullopt;
  char name[kNameLength];
  const int subclass = static_cast<int>(classCode >> 8);
  const char* found = pci_lookup_name(access_, name, sizeof name,
                                      PCI_LOOKUP_CLASS | PCI_LOOKUP_NO_NUMBERS, subclass);
  if (!found) return std::nullopt;
  // For an unknown subclass libpci gives the base class name with the code appended.
  std::string text(found);
  char code[16];
  std::snprintf(code, sizeof code, " [%04x]", static_cast<unsigned>(subclass));
  if (text.size() > std::strlen(code) && text.ends_with(code))
    text.resize(text.size() - std::strlen(code));
  return text;
}

}  // namespace harnel::probe
