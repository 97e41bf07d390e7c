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
#include "harnel/probe/pci_ids.h"
#include "harnel/probe/shared_library.h"
#include "harnel/probe/text_util.h"

namespace harnel::probe {
namespace {

constexpr std::string_view kPciDevicesFolder = "/sys/bus/pci/devices";
constexpr std::string_view kPciIdsPaths[] = {"/usr/share/misc/pci.ids",
                                             "/usr/share/hwdata/pci.ids"};
constexpr int kNameLength = 256;
constexpr const char* kLibraryName = "libpci.so.3";

// libpci is opened the first time a name is looked up rather than when the provider loads: it
// brings zlib and libudev along, and loading three libraries costs more than most requests do
// in all. It stays open until the provider unloads. RTLD_NODELETE: closing it then leaves the
// three libraries mapped, as the end of a process would; unmapping them one by one at exit
// cost more than all the lookups.
class LibPci {
 public:
  LibPci() : library_(kLibraryName, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE) {
    loaded_ = library_.Opened() && library_.Load(alloc, "pci_alloc") &&
              library_.Load(cleanup, "pci_cleanup") &&
              library_.Load(setNameListPath, "pci_set_name_list_path") &&
              library_.Load(lookupName, "pci_lookup_name");
  }
  bool Loaded() const { return loaded_; }

  decltype(&::pci_alloc) alloc = nullptr;
  decltype(&::pci_cleanup) cleanup = nullptr;
  decltype(&::pci_set_name_list_path) setNameListPath = nullptr;
  decltype(&::pci_lookup_name) lookupName = nullptr;

 private:
  SharedLibrary library_;
  bool loaded_ = false;
};

const LibPci& Library() {
  static const LibPci library;
  return library;
}

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

void PciNames::Load(const std::string& selected) {
  if (selected.empty() || !Library().Loaded()) return;
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
  access_ = Library().alloc();
  if (!access_) return;
  access_->error = SilentError;
  access_->warning = SilentWarning;
  access_->debug = SilentWarning;
  // No cache file in the home folder, no DNS, no udev database: the given text alone.
  access_->id_lookup_mode = PCI_LOOKUP_NO_HWDB;
  Library().setNameListPath(access_, idsPath_.data(), 0);
}

PciNames::PciNames(PciNames&& other) noexcept
    : access_(other.access_),
      idsDescriptor_(other.idsDescriptor_),
      idsPath_(std::move(other.idsPath_)) {
  other.access_ = nullptr;
  other.idsDescriptor_ = -1;
  // A short path lives inside the string object, so its buffer moved.
  if (access_) Library().setNameListPath(access_, idsPath_.data(), 0);
}

PciNames::~PciNames() {
  if (access_) Library().cleanup(access_);
  if (idsDescriptor_ >= 0) ::close(idsDescriptor_);
}

std::optional<std::string> PciNames::Vendor(std::uint16_t vendor) const {
  if (!access_) return std::nullopt;
  char name[kNameLength];
  const char* found = Library().lookupName(access_, name, sizeof name,
                                           PCI_LOOKUP_VENDOR | PCI_LOOKUP_NO_NUMBERS, vendor);
  return found ? std::optional<std::string>(found) : std::nullopt;
}

std::optional<std::string> PciNames::Device(std::uint16_t vendor, std::uint16_t device) const {
  if (!access_) return std::nullopt;
  char name[kNameLength];
  const char* found = Library().lookupName(
      access_, name, sizeof name, PCI_LOOKUP_DEVICE | PCI_LOOKUP_NO_NUMBERS, vendor, device);
  return found ? std::optional<std::string>(found) : std::nullopt;
}

std::optional<std::string> PciNames::Class(std::uint32_t classCode) const {
  if (!access_) return std::nullopt;
  char name[kNameLength];
  const int subclass = static_cast<int>(classCode >> 8);
  const char* found = Library().lookupName(access_, name, sizeof name,
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
