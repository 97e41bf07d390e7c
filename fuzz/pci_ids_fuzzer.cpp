// Fuzz target for the pci.ids lookup: the input is a few devices' IDs and a database. The lines
// selected for the devices must be the same whether the database is held in memory or read
// from a file a window at a time, and every name, from the selection or from the whole text,
// must be one a line can give: not empty, at most 255 bytes, without a line break or NUL. The
// selection and the names read lines by one set of rules: where the database's vendors and
// classes are in order, the devices' names in the lines selected are those of the whole text;
// and the names of the whole text are those the reader had before it shared its rules with
// the selection. An abort, a hang or a read past the text is a finding too.
//
// Input: one byte whose low three bits are the number of devices less one; six bytes per
// device (vendor, device, class and subclass, each two bytes little-endian); then the
// database, in which every byte 0x01 stands for 4 KB of subsystem lines (at most 16 of them),
// so that short inputs reach past the reads' windows and the searches' probes.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/pci_ids_names_reference.h"
#include "harnel/linux/machine_files.h"
#include "harnel/linux/pci.h"
#include "harnel/linux/pci_ids.h"
#include "harnel/linux/pci_ids_line.h"
#include "harnel/linux/pci_ids_names.h"

namespace {

using harnel::linux::PciDevice;
using harnel::linux::PciIdsNames;

constexpr std::size_t kDeviceBytes = 6;
constexpr std::size_t kMaxFillers = 16;
constexpr std::size_t kNameLimit = 255;

void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

// `limit`: the longest name allowed.
void RequireName(std::string_view name, std::size_t limit) {
  if (name.empty() || name.size() > limit ||
      name.find_first_of(std::string_view("\n\r\0", 3)) != std::string_view::npos) {
    Fail("a name no line can give");
  }
}

template <typename Map>
void RequireNames(const Map& names) {
  for (const auto& [id, name] : names) RequireName(name, std::string::npos);
}

// Whether the vendors and then the classes that head blocks in `ids` come in ascending order
// of ID, an ID given twice included: the order the selection's binary search relies on.
bool HeadsInOrder(std::string_view ids) {
  using harnel::linux::PciIdsBlock;
  std::uint32_t last = 0;
  while (!ids.empty()) {
    const std::size_t feed = ids.find('\n');
    const harnel::linux::PciIdsLine line =
        harnel::linux::ReadPciIdsLine(ids.substr(0, feed), PciIdsBlock::None);
    ids.remove_prefix(feed == std::string_view::npos ? ids.size() : feed + 1);
    if (line.opens == PciIdsBlock::None) continue;
    const std::uint32_t key = line.opens == PciIdsBlock::Class ? 0x10000 | line.id : line.id;
    if (key < last) return false;
    last = key;
  }
  return true;
}

template <typename Map>
std::optional<std::string> Lookup(const Map& names, typename Map::key_type id) {
  const auto found = names.find(id);
  return found == names.end() ? std::nullopt : std::optional<std::string>(found->second);
}

bool SameNames(const PciIdsNames& a, const PciIdsNames& b) {
  return a.vendors == b.vendors && a.models == b.models && a.classes == b.classes &&
         a.subclasses == b.subclasses;
}

std::string Expanded(std::string_view text) {
  std::string filler;
  for (int i = 0; i < 205; ++i) filler += "\t\tffff ffff  filler\n";
  std::string out;
  std::size_t fillers = 0;
  for (const char c : text) {
    if (c == '\x01' && fillers < kMaxFillers) {
      out += filler;
      ++fillers;
    } else {
      out += c;
    }
  }
  return out;
}

// The selection for `devices` from `ids` written to an in-memory file, read as the database
// file of a machine is read. Each call makes a new file, so nothing found in an earlier one
// is taken for it.
std::string SelectFromFile(const std::string& ids, const std::vector<PciDevice>& devices) {
  const int fd = ::memfd_create("pci.ids", MFD_CLOEXEC);
  if (fd < 0) Fail("memfd_create");
  for (std::size_t written = 0; written < ids.size();) {
    const ssize_t count = ::write(fd, ids.data() + written, ids.size() - written);
    if (count <= 0) Fail("write");
    written += static_cast<std::size_t>(count);
  }
  std::string selected;
  {
    const harnel::linux::MachineFile file("/", "/proc/self/fd/" + std::to_string(fd));
    if (!file.IsOpen() || file.Size() != ids.size()) Fail("open");
    harnel::linux::PciIdsText text(file);
    selected = harnel::linux::SelectPciIds(text, devices);
  }
  ::close(fd);
  return selected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::size_t count = (data[0] & 7u) + 1;
  if (size < 1 + count * kDeviceBytes) return 0;
  std::vector<PciDevice> devices(count);
  for (std::size_t i = 0; i < count; ++i) {
    const uint8_t* bytes = data + 1 + i * kDeviceBytes;
    devices[i].vendor = static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
    devices[i].device = static_cast<std::uint16_t>(bytes[2] | bytes[3] << 8);
    devices[i].classCode = static_cast<std::uint32_t>(bytes[4] | bytes[5] << 8) << 8;
  }
  const std::size_t start = 1 + count * kDeviceBytes;
  const std::string ids =
      Expanded(std::string_view(reinterpret_cast<const char*>(data) + start, size - start));

  const std::string selected = harnel::linux::SelectPciIds(ids, devices);
  if (SelectFromFile(ids, devices) != selected) Fail("the file and the text select differently");

  const harnel::linux::PciNames names(ids, devices);
  for (const PciDevice& device : devices) {
    for (const std::optional<std::string>& name :
         {names.Vendor(device.vendor), names.Device(device.vendor, device.device),
          names.Class(device.classCode)}) {
      if (name) RequireName(*name, kNameLimit);
    }
  }
  // The whole text as a database, blocks of every kind included: its names are the lines'
  // own, before any cut to length.
  const PciIdsNames all = harnel::linux::ReadPciIdsNames(ids);
  RequireNames(all.vendors);
  RequireNames(all.models);
  RequireNames(all.classes);
  RequireNames(all.subclasses);
  if (!SameNames(all, harnel::linux::reference::ReadPciIdsNames(ids))) {
    Fail("the names differ from the reference reader's");
  }
  if (HeadsInOrder(ids)) {
    const PciIdsNames chosen = harnel::linux::ReadPciIdsNames(selected);
    for (const PciDevice& device : devices) {
      const std::uint16_t subclass = device.ClassAndSubclass();
      if (Lookup(all.vendors, device.vendor) != Lookup(chosen.vendors, device.vendor) ||
          Lookup(all.models, device.vendor << 16 | device.device) !=
              Lookup(chosen.models, device.vendor << 16 | device.device) ||
          Lookup(all.classes, device.BaseClass()) != Lookup(chosen.classes, device.BaseClass()) ||
          Lookup(all.subclasses, subclass) != Lookup(chosen.subclasses, subclass)) {
        Fail("the lines selected name a device otherwise than the whole text");
      }
    }
  }
  return 0;
}
