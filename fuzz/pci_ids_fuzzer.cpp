// Fuzz target for the pci.ids lookup: the input is a few devices' IDs and a database. The lines
// selected for the devices must be the same whether the database is held in memory or read
// from a file a window at a time, and every name, from the selection or from the whole text,
// must be one a line can give: not empty, at most 255 bytes, without a line break or NUL. An
// abort, a hang or a read past the text is a finding too.
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

#include "harnel/linux/machine_files.h"
#include "harnel/linux/pci.h"
#include "harnel/linux/pci_ids.h"
#include "harnel/linux/pci_ids_names.h"

namespace {

using harnel::probe::PciDevice;

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
    const harnel::probe::MachineFile file("/", "/proc/self/fd/" + std::to_string(fd));
    if (!file.IsOpen() || file.Size() != ids.size()) Fail("open");
    harnel::probe::PciIdsText text(file);
    selected = harnel::probe::SelectPciIds(text, devices);
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

  const std::string selected = harnel::probe::SelectPciIds(ids, devices);
  if (SelectFromFile(ids, devices) != selected) Fail("the file and the text select differently");

  const harnel::probe::PciNames names(ids, devices);
  for (const PciDevice& device : devices) {
    for (const std::optional<std::string>& name :
         {names.Vendor(device.vendor), names.Device(device.vendor, device.device),
          names.Class(device.classCode)}) {
      if (name) RequireName(*name, kNameLimit);
    }
  }
  // The whole text as a database, blocks of every kind included: its names are the lines'
  // own, before any cut to length.
  const harnel::probe::PciIdsNames all = harnel::probe::ReadPciIdsNames(ids);
  RequireNames(all.vendors);
  RequireNames(all.models);
  RequireNames(all.classes);
  RequireNames(all.subclasses);
  return 0;
}
