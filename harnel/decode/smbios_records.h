#pragma once
// The SMBIOS structures the provider uses, decoded into the values its records need.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "harnel/decode/smbios.h"

namespace harnel::decode {

// Type 0: BIOS information.
struct SmbiosBios {
  std::optional<std::string> vendor, version, releaseDate;
};
// Type 2: baseboard.
struct SmbiosBoard {
  std::optional<std::string> manufacturer, product, serialNumber;
};
// Type 3: chassis; `chassisType` is the decoded type name ("Notebook").
struct SmbiosChassis {
  std::optional<std::string> chassisType;
};
// Type 4: processor; `processorId` is the 64-bit ID field, shown as Windows shows it.
struct SmbiosProcessor {
  std::optional<std::string> socket, manufacturer, version, processorId;
  std::optional<std::int64_t> maxSpeedMHz;
};
// Type 9: system slot; `summary` is slot type, bus width and usage in words.
struct SmbiosSlot {
  std::optional<std::string> designation, summary;
};
// Type 17: memory device; only installed modules are kept.
struct SmbiosMemoryDevice {
  std::optional<std::string> deviceLocator, bankLocator, manufacturer, partNumber, memoryType,
      formFactor, serialNumber;
  std::optional<std::int64_t> sizeMB, speedMTs, dataWidth;
};

// Everything the provider takes from one table; fields are nullopt where the table has none.
struct SmbiosFacts {
  std::optional<SmbiosBios> bios;
  std::optional<SmbiosBoard> board;
  std::optional<SmbiosChassis> chassis;
  std::optional<SmbiosProcessor> processor;  // the first populated socket
  std::vector<SmbiosSlot> slots;
  std::vector<SmbiosMemoryDevice> memoryDevices;
};

// Decodes the structures of the raw table bytes `table` (see ParseSmbiosTable).
SmbiosFacts ParseSmbiosFacts(std::string_view table);

// The SMBIOS chassis type name for `code` (low 7 bits), nullopt for unknown codes.
std::optional<std::string> ChassisTypeName(std::uint8_t code);

// True for the filler texts firmware leaves in unset fields ("To be filled by O.E.M.").
bool IsFirmwarePlaceholder(std::string_view text);

// `value` unless it is a firmware placeholder.
std::optional<std::string> WithoutPlaceholder(std::optional<std::string> value);

}  // namespace harnel::decode
