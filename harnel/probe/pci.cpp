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
#include <set>
#include <tuple>

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

namespace {

// The three IDs a device's names hang on.
using NameKey = std::tuple<std::uint16_t, std::uint16_t, std::uint16_t>;
NameKey KeyOf(const PciDevice& device) {
  return {device.vendor, device.device, device.ClassAndSubclass()};
}

// The names found in a database file for the devices named so far: names looked up for
// given IDs in an unchanged file cannot change, so later requests (a long-running agent asking
// again, the video adapters after the controllers) neither select lines nor go through libpci
// for devices named before.
struct KeptNames {
  std::set<NameKey> named;  // the devices whose names below are complete
  PciNames names;
  std::size_t Size() const { return named.size(); }
};

// Devices named beyond this are started afresh, bounding a long-running process.
constexpr std::size_t kNamedLimit = 4096;

// Owns an in-memory file and a libpci access object that reads its names from it.
class LibPciAccess {
 public:
  // Hands `selected` (pci.ids lines) to a new access object; not usable when libpci or the
  // in-memory file is not to be had.
  explicit LibPciAccess(const std::string& selected) {
    if (selected.empty() || !Library().Loaded()) {
      settled_ = true;  // nothing to look up, or nothing to look it up with, for good
      return;
    }
    // libpci reads its database only from a named file; an in-memory file gives it just the
    // selected part without touching the disk.
    descriptor_ = ::memfd_create("pci.ids", MFD_CLOEXEC);
    if (descriptor_ < 0) return;
    std::size_t written = 0;
    while (written < selected.size()) {
      const ssize_t count =
          ::write(descriptor_, selected.data() + written, selected.size() - written);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) return;
      written += static_cast<std::size_t>(count);
    }
    path_ = "/proc/self/fd/" + std::to_string(descriptor_);
    access_ = Library().alloc();
    if (!access_) return;
    access_->error = SilentError;
    access_->warning = SilentWarning;
    access_->debug = SilentWarning;
    // No cache file in the home folder, no DNS, no udev database: the given text alone.
    access_->id_lookup_mode = PCI_LOOKUP_NO_HWDB;
    Library().setNameListPath(access_, path_.data(), 0);
    settled_ = true;
  }
  LibPciAccess(const LibPciAccess&) = delete;
  LibPciAccess& operator=(const LibPciAccess&) = delete;
  ~LibPciAccess() {
    if (access_) Library().cleanup(access_);
    if (descriptor_ >= 0) ::close(descriptor_);
  }

  // False when lines and libpci were there but the two could not be brought together (no
  // in-memory file to be had, say): what lookups answer then may change on another try.
  bool Settled() const { return settled_; }

  // libpci's name for the lookup `flags` with its arguments; nullopt when it has none.
  template <typename... Ids>
  std::optional<std::string> Lookup(int flags, Ids... ids) const {
    if (!access_) return std::nullopt;
    char name[kNameLength];
    const char* found =
        Library().lookupName(access_, name, sizeof name, flags | PCI_LOOKUP_NO_NUMBERS, ids...);
    return found ? std::optional<std::string>(found) : std::nullopt;
  }

 private:
  ::pci_access* access_ = nullptr;
  int descriptor_ = -1;
  std::string path_;  // libpci keeps a pointer to it
  bool settled_ = false;
};

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
        if (kept.names.Resolve(SelectPciIds(ids, unnamed), unnamed)) {
          for (const PciDevice& device : unnamed) kept.named.insert(KeyOf(device));
        }
      }
      names.CopyFrom(kept.names, devices);
    });
    break;
  }
  return names;
}

bool PciNames::Resolve(const std::string& selected, const std::vector<PciDevice>& devices) {
  const LibPciAccess access(selected);
  if (!access.Settled()) return false;
  for (const PciDevice& device : devices) {
    if (auto vendor = access.Lookup(PCI_LOOKUP_VENDOR, device.vendor)) {
      vendors_[device.vendor] = std::move(*vendor);
    }
    if (auto model = access.Lookup(PCI_LOOKUP_DEVICE, device.vendor, device.device)) {
      models_[ModelKey(device.vendor, device.device)] = std::move(*model);
    }
    const int subclass = device.ClassAndSubclass();
    std::optional<std::string> type = access.Lookup(PCI_LOOKUP_CLASS, subclass);
    if (!type) continue;
    // For an unknown subclass libpci gives the base class name with the code appended.
    char code[16];
    std::snprintf(code, sizeof code, " [%04x]", static_cast<unsigned>(subclass));
    if (type->size() > std::strlen(code) && type->ends_with(code))
      type->resize(type->size() - std::strlen(code));
    classes_[device.ClassAndSubclass()] = std::move(*type);
  }
  return true;
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

}  // namespace harnel::probe
