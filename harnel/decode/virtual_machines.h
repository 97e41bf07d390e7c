#pragma once
// The virtual machines that the firmware names: a hypervisor gives its guests firmware texts
// of its own ("VMware, Inc.", "QEMU"), the same on every guest system.

#include <optional>
#include <string>
#include <string_view>

namespace harnel::decode {

// The kind of virtual machine (as fleet servers name it: "KVM", "VMware", "Hyper-V", "Xen",
// "VirtualBox", ...) that the firmware text `text` names; nullopt when it names none.
std::optional<std::string> VirtualMachineNamedBy(std::string_view text);

// The value for a machine on which nothing names a virtual machine.
inline constexpr std::string_view kPhysical = "Physical";

}  // namespace harnel::decode
