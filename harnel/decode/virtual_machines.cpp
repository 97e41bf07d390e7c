// Telling a virtual machine from the firmware texts its hypervisor gives.

#include "harnel/decode/virtual_machines.h"

namespace harnel::decode {
namespace {

struct NamedMachine {
  std::string_view text, kind;
};
// Texts of the system's maker, product or BIOS maker, as hypervisors write them. QEMU's
// machines are counted as KVM: a QEMU guest without KVM under it is an emulator, not a fleet's
// machine. The clouds' own firmware texts name their KVM-based hypervisors.
constexpr NamedMachine kNamedMachines[] = {
    {"VMware", "VMware"},
    {"VirtualBox", "VirtualBox"},
    {"innotek", "VirtualBox"},
    {"Virtual Machine", "Hyper-V"},  // Microsoft Corporation's product name
    {"KVM", "KVM"},
    {"QEMU", "KVM"},
    {"Amazon EC2", "KVM"},
    {"Google Compute Engine", "KVM"},
    {"Xen", "Xen"},
    {"HVM domU", "Xen"},
    {"Parallels", "Parallels"},
    {"BHYVE", "bhyve"},
};

}  // namespace

std::optional<std::string> VirtualMachineNamedBy(std::string_view text) {
  for (const NamedMachine& row : kNamedMachines) {
    if (text.find(row.text) != std::string_view::npos) return std::string(row.kind);
  }
  return std::nullopt;
}

}  // namespace harnel::decode
