// The Machine key's facts taken from the SMBIOS table and the displays' EDID, on either system.

#include "harnel/decode/firmware_facts.h"

#include "harnel/decode/edid_serial.h"
#include "harnel/decode/virtual_machines.h"
#include "harnel/machine_key.h"

namespace harnel::decode {

const std::vector<SystemField> kSystemFields = {
    {machine::kManufacturer, &SmbiosSystem::manufacturer, nullptr},
    {machine::kProduct, &SmbiosSystem::product, nullptr},
    {machine::kSerial, &SmbiosSystem::serial, nullptr},
    {machine::kUuid, &SmbiosSystem::uuid, nullptr},
    {machine::kSku, &SmbiosSystem::sku, nullptr},
    {machine::kAssetTag, nullptr, &SmbiosEnclosure::assetTag},
    {machine::kChassisSerial, nullptr, &SmbiosEnclosure::serial},
};

void TakeFirmwareText(findings::Fact& fact, const std::optional<std::string>& text,
                      std::string_view source) {
  if (fact.Known()) return;
  if (!text) {
    fact.Miss(source, findings::SourceAnswer::SourceSilent);
  } else if (IsFirmwarePlaceholder(*text) || IsUnsetUuid(*text)) {
    fact.Miss(source, findings::SourceAnswer::SourcePlaceholder, *text);
  } else {
    fact.Take(*text);
  }
}

void TakeSystemFromTable(const SmbiosIdentity& identity, findings::FactSet& system) {
  for (const SystemField& row : kSystemFields) {
    std::optional<std::string> text;
    if (row.fromSystem && identity.system) text = (*identity.system).*row.fromSystem;
    if (row.fromEnclosure && identity.enclosure) text = (*identity.enclosure).*row.fromEnclosure;
    TakeFirmwareText(system[row.field], text, kFirmwareTable);
  }
}

void TakeSocketsFromTable(const SmbiosSockets& sockets, findings::FactSet& processor) {
  struct Count {
    std::string_view field;
    std::optional<std::int64_t> value;
  };
  const std::optional<std::int64_t> packages =
      sockets.populated > 0 ? std::optional<std::int64_t>(sockets.populated) : std::nullopt;
  for (const Count& count :
       {Count{machine::kPackages, packages}, Count{machine::kCores, sockets.cores},
        Count{machine::kThreads, sockets.threads}}) {
    findings::Fact& fact = processor[count.field];
    if (!count.value || !fact.Take(*count.value))
      fact.Miss(kFirmwareTable, findings::SourceAnswer::SourceSilent);
  }
}

std::vector<findings::FactSet> ModuleFacts(const std::vector<SmbiosMemoryDevice>& devices,
                                           std::string_view source) {
  std::vector<findings::FactSet> modules(devices.size());
  for (std::size_t i = 0; i < devices.size(); ++i) {
    TakeFirmwareText(modules[i][machine::kSerialNumber], devices[i].serialNumber, source);
    TakeFirmwareText(modules[i][machine::kPartNumber], devices[i].partNumber, source);
  }
  return modules;
}

findings::FactSet DisplayFacts(const std::optional<std::string>& edid) {
  const std::optional<EdidUnit> unit = edid ? ParseEdidUnit(*edid) : std::nullopt;
  const EdidUnit known = unit.value_or(EdidUnit{});
  findings::FactSet monitor;
  const auto take = [&](std::string_view field, std::string_view lacks, nlohmann::json value) {
    findings::Fact& fact = monitor[field];
    fact.Take(std::move(value));
    fact.Miss({}, findings::SourceAnswer::SourceSays,
              unit ? "the display's EDID gives no " + std::string(lacks)
                   : std::string("the display gives no EDID"));
  };
  take(machine::kSerialNumber, "serial number",
       known.serial ? nlohmann::json(*known.serial) : nullptr);
  take(machine::kManufactureWeek, "week of manufacture",
       known.week ? nlohmann::json(*known.week) : nullptr);
  take(machine::kManufactureYear, "year of manufacture",
       known.year ? nlohmann::json(*known.year) : nullptr);
  return monitor;
}

void TakeVirtualization(const VirtualizationClues& clues, findings::Fact& fact) {
  if (clues.container) {
    fact.Take(*clues.container);
  } else if (clues.namedMachine) {
    fact.Take(*clues.namedMachine);
  } else if (clues.hypervisorFlag.value_or(false)) {
    fact.Miss({}, findings::SourceAnswer::SourceSays,
              "the processor runs under a hypervisor that the firmware does not name");
  } else if (clues.hypervisorFlag || clues.firmwareNamesSystem) {
    fact.Take(std::string(kPhysical));
  }
}

}  // namespace harnel::decode
