#pragma once
// The records that come from the firmware's SMBIOS table, built the same way on every
// system: the BIOS record, the system slots and the memory modules.

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "harnel/decode/smbios_records.h"

namespace harnel::decode {

// The BIOS record's fields, each taken from whichever source the system offers.
struct BiosFields {
  std::optional<std::string> boardManufacturer, boardName, boardSerialNumber, machineType,
      biosManufacturer, biosVersion, biosReleaseDate;
};

// The fields that the table alone gives, firmware placeholders left out.
BiosFields BiosFieldsFromSmbios(const SmbiosFacts& facts);

// The BIOS record; `biosName` is the manufacturer and version joined by a space. Null when no
// field has a value.
nlohmann::json BiosRecord(const BiosFields& fields);

// The SystemslotList: slot designation and summary; null without slots.
nlohmann::json SystemslotList(const std::vector<SmbiosSlot>& slots);

// The PhyMemoryList, one node per module; null without modules.
nlohmann::json MemoryModuleList(const std::vector<SmbiosMemoryDevice>& devices);

}  // namespace harnel::decode
