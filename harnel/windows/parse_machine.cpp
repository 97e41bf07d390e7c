// The Machine key's facts on Windows, parsed from the readers' raw data.

#include "harnel/windows/parse_machine.h"

#include <string>

#include "harnel/decode/firmware_facts.h"
#include "harnel/decode/virtual_machines.h"
#include "harnel/findings/reasons.h"
#include "harnel/schema.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/raw_values.h"
#include "harnel/windows/smbios_blob.h"

namespace harnel::windows {
namespace {

using findings::Fact;
using findings::FactSet;
using findings::SourceAnswer;

constexpr std::uint32_t kHypervisorBit = 1u << 31;  // CPUID leaf 1, ECX

// The system's texts that the registry keeps a copy of (HARDWARE\DESCRIPTION\System\BIOS).
struct RegistryCopy {
  std::string_view field, value;
};
constexpr RegistryCopy kRegistryCopies[] = {
    {"manufacturer", "SystemManufacturer"},
    {"product", "SystemProductName"},
    {"sku", "SystemSKU"},
};

struct Named {
  std::uint64_t number;
  std::string_view name;
};
// STORAGE_BUS_TYPE, in the names fleet servers use.
constexpr Named kBuses[] = {
    {1, "SCSI"}, {2, "IDE"},  {3, "IDE"},      {4, "1394"},     {6, "FC"},
    {7, "USB"},  {8, "RAID"}, {9, "ISCSI"},    {10, "SAS"},     {11, "SATA"},
    {12, "SD"},  {13, "MMC"}, {14, "VIRTUAL"}, {15, "VIRTUAL"}, {17, "NVME"},
};
// IANA ifType.
constexpr Named kKinds[] = {
    {6, "ethernet"},     {71, "wifi"},       {24, "loopback"}, {23, "dialup"},
    {199, "infiniband"}, {161, "aggregate"}, {209, "bridge"},  {56, "fibrechannel"},
};
// IF_OPER_STATUS.
constexpr Named kStates[] = {
    {1, "up"},      {2, "down"},       {3, "testing"},        {4, "unknown"},
    {5, "dormant"}, {6, "notpresent"}, {7, "lowerlayerdown"},
};

template <std::size_t N>
std::optional<std::string> NameOf(const Named (&table)[N], std::optional<std::uint64_t> number) {
  for (const Named& row : table) {
    if (number == row.number) return std::string(row.name);
  }
  return std::nullopt;
}

// A value of a raw row, taken as the fact's value; else noted as said in `lacks`.
void TakeOrSay(Fact& fact, const std::optional<nlohmann::json>& value, std::string_view lacks) {
  if (!value || !fact.Take(*value)) fact.Miss({}, SourceAnswer::SourceSays, lacks);
}

std::optional<nlohmann::json> Text(std::optional<std::string> text) {
  if (!text) return std::nullopt;
  return nlohmann::json(std::move(*text));
}

std::optional<nlohmann::json> Number(std::optional<std::uint64_t> number) {
  if (!number || *number > 0x7FFFFFFF) return std::nullopt;
  return nlohmann::json(static_cast<std::int64_t>(*number));
}

FactSet SystemFacts(const nlohmann::json& raw) {
  FactSet system;
  const std::string table = RawBytes(RawObject(raw, kProfileKey<BIOSInfo>), "smbios");
  if (table.empty()) {
    for (const decode::SystemField& row : decode::kSystemFields) {
      system[row.field].Miss({}, SourceAnswer::SourceSays, findings::kNoFirmwareTables);
    }
  } else {
    decode::TakeSystemFromTable(ParseSmbiosIdentityBlob(table), system);
  }
  const nlohmann::json& copy = RawObject(raw, "System");
  for (const RegistryCopy& row : kRegistryCopies) {
    Fact& fact = system[row.field];
    const std::optional<std::string> text = RawText(copy, row.value);
    if (text) decode::TakeFirmwareText(fact, text, "the registry's " + std::string(row.value));
    if (!text)
      fact.Miss({}, SourceAnswer::SourceSays, "no " + std::string(row.value) + " in the registry");
  }

  decode::VirtualizationClues clues;
  for (std::string_view field : {"manufacturer", "product"}) {
    const Fact& fact = system[field];
    if (!fact.Known()) continue;
    clues.firmwareNamesSystem = true;
    if (!clues.namedMachine) {
      clues.namedMachine = decode::VirtualMachineNamedBy(fact.value.get<std::string>());
    }
  }
  const decode::SmbiosFacts firmware = ParseSmbiosBlob(table);
  if (!clues.namedMachine && firmware.bios && firmware.bios->vendor) {
    clues.namedMachine = decode::VirtualMachineNamedBy(*firmware.bios->vendor);
  }
  const nlohmann::json& cpuid = RawObject(RawObject(raw, kProfileKey<ProcessorInfo>), "cpuid");
  if (const std::optional<std::uint64_t> ecx = RawNumber(cpuid, "ecx")) {
    clues.hypervisorFlag = (*ecx & kHypervisorBit) != 0;
  }
  Fact& virtualization = system["virtualization"];
  decode::TakeVirtualization(clues, virtualization);
  if (!virtualization.Known() && !clues.hypervisorFlag) {
    virtualization.Miss({}, SourceAnswer::SourceSays,
                        "the processor's hypervisor flag was not read, and the firmware names no "
                        "system");
  }
  return system;
}

FactSet DiskFacts(const nlohmann::json& drive) {
  FactSet disk;
  TakeOrSay(disk["serialNumber"], Text(RawText(drive, "serialNumber")),
            "the drive answers no serial number");
  TakeOrSay(disk["firmware"], Text(RawText(drive, "productRevision")),
            "the drive answers no firmware revision");
  const std::optional<std::uint64_t> bus = RawNumber(drive, "busType");
  TakeOrSay(disk["interface"], Text(NameOf(kBuses, bus)),
            bus ? "the drive's bus type " + std::to_string(*bus) + " has no name"
                : std::string("the drive answers no bus type"));
  return disk;
}

FactSet AdapterFacts(const nlohmann::json& adapter) {
  FactSet facts;
  TakeOrSay(facts["interfaceName"], Text(RawText(adapter, "FriendlyName")),
            "the adapter gives no name");
  const std::optional<std::uint64_t> type = RawNumber(adapter, "IfType");
  TakeOrSay(facts["kind"], Text(NameOf(kKinds, type)),
            type ? "the adapter's type " + std::to_string(*type) + " is none of the listed kinds"
                 : std::string("the adapter gives no type"));
  TakeOrSay(facts["status"], Text(NameOf(kStates, RawNumber(adapter, "OperStatus"))),
            "the adapter gives no operational status");
  TakeOrSay(facts["mtu"], Number(RawNumber(adapter, "Mtu")), "the adapter gives no MTU");
  return facts;
}

}  // namespace

findings::MachineReading ParseMachineFacts(const nlohmann::json& raw) {
  findings::MachineReading reading;
  reading.system = SystemFacts(raw);
  const std::string table = RawBytes(RawObject(raw, kProfileKey<BIOSInfo>), "smbios");
  if (table.empty()) {
    for (std::string_view field : {"packages", "cores", "threads"}) {
      reading.processor[field].Miss({}, SourceAnswer::SourceSays, findings::kNoFirmwareTables);
    }
  } else {
    decode::TakeSocketsFromTable(ParseSmbiosIdentityBlob(table).sockets, reading.processor);
  }
  reading.memoryModules =
      decode::ModuleFacts(ParseSmbiosBlob(table).memoryDevices, decode::kFirmwareTable);
  for (const nlohmann::json& drive : RawRows(RawObject(raw, kProfileKey<StorageNode>), "devices")) {
    reading.disks.push_back(DiskFacts(drive));
  }
  for (const nlohmann::json& device :
       RawRows(RawObject(raw, kProfileKey<MonitorNode>), "devices")) {
    const std::string edid = RawBytes(RawObject(device, "device"), "EDID");
    reading.monitors.push_back(
        decode::DisplayFacts(edid.empty() ? std::nullopt : std::optional<std::string>(edid)));
  }
  for (const nlohmann::json& adapter :
       RawRows(RawObject(raw, kProfileKey<NetworkadapterNode>), "adapters")) {
    if (IsListedAdapter(adapter)) reading.adapters.push_back(AdapterFacts(adapter));
  }
  return reading;
}

}  // namespace harnel::windows
