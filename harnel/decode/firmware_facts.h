#pragma once
// The Machine key's facts that the firmware gives (the SMBIOS table, a display's EDID), taken
// the same way on every system.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "harnel/decode/smbios_identity.h"
#include "harnel/decode/smbios_records.h"
#include "harnel/findings/machine_reading.h"

namespace harnel::decode {

inline constexpr std::string_view kFirmwareTable = "the firmware table";

// Takes the firmware text `text` from `source` as the fact's value; notes a placeholder, or
// that the source gave none.
void TakeFirmwareText(findings::Fact& fact, const std::optional<std::string>& text,
                      std::string_view source);

// The system's fields, in the key's order, each named with what the table gives for it.
struct SystemField {
  std::string_view field;
  std::optional<std::string> SmbiosSystem::*fromSystem;
  std::optional<std::string> SmbiosEnclosure::*fromEnclosure;
};
extern const std::vector<SystemField> kSystemFields;

// The system's identity from the table's `identity` (every field but virtualization).
void TakeSystemFromTable(const SmbiosIdentity& identity, findings::FactSet& system);

// The packages, cores and threads that the table's populated sockets give.
void TakeSocketsFromTable(const SmbiosSockets& sockets, findings::FactSet& processor);

// One set per memory module, serial and part number, from `source` (the table or its copy).
std::vector<findings::FactSet> ModuleFacts(const std::vector<SmbiosMemoryDevice>& devices,
                                           std::string_view source);

// A display's serial number and week and year of manufacture from its EDID (`edid`, nullopt
// when the display gives none).
findings::FactSet DisplayFacts(const std::optional<std::string>& edid);

// The virtualization that the clues gathered point to, or (noted) why none can be told:
// a container's runtime first, since it is what the programs inside see; then the virtual
// machine a firmware text names; then "Physical" when the processor's hypervisor flag was read
// clear, or the firmware named the system and named no virtual machine.
struct VirtualizationClues {
  std::optional<std::string> container, namedMachine;
  std::optional<bool> hypervisorFlag;
  bool firmwareNamesSystem = false;
};
void TakeVirtualization(const VirtualizationClues& clues, findings::Fact& fact);

}  // namespace harnel::decode
