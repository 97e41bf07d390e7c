// Decoding the SMBIOS structures the records use into their values.

#include "harnel/decode/smbios_records.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "harnel/decode/record_formats.h"
#include "harnel/decode/text_util.h"

namespace harnel::decode {
namespace {

// Values with no meaning in a field: unknown, not provided, or a reserved marker.
constexpr std::uint16_t kUnknownWord = 0xFFFF;

constexpr std::array<std::string_view, 37> kChassisTypes = {
    "",
    "Other",
    "Unknown",
    "Desktop",
    "Low Profile Desktop",
    "Pizza Box",
    "Mini Tower",
    "Tower",
    "Portable",
    "Laptop",
    "Notebook",
    "Hand Held",
    "Docking Station",
    "All in One",
    "Sub Notebook",
    "Space-saving",
    "Lunch Box",
    "Main Server Chassis",
    "Expansion Chassis",
    "SubChassis",
    "Bus Expansion Chassis",
    "Peripheral Chassis",
    "RAID Chassis",
    "Rack Mount Chassis",
    "Sealed-case PC",
    "Multi-system Chassis",
    "Compact PCI",
    "Advanced TCA",
    "Blade",
    "Blade Enclosure",
    "Tablet",
    "Convertible",
    "Detachable",
    "IoT Gateway",
    "Embedded PC",
    "Mini PC",
    "Stick PC",
};

constexpr std::array<std::string_view, 36> kMemoryTypes = {
    "",
    "Other",
    "Unknown",
    "DRAM",
    "EDRAM",
    "VRAM",
    "SRAM",
    "RAM",
    "ROM",
    "Flash",
    "EEPROM",
    "FEPROM",
    "EPROM",
    "CDRAM",
    "3DRAM",
    "SDRAM",
    "SGRAM",
    "RDRAM",
    "DDR",
    "DDR2",
    "DDR2 FB-DIMM",
    "",
    "",
    "",
    "DDR3",
    "FBD2",
    "DDR4",
    "LPDDR",
    "LPDDR2",
    "LPDDR3",
    "LPDDR4",
    "Logical non-volatile device",
    "HBM",
    "HBM2",
    "DDR5",
    "LPDDR5",
};

constexpr std::array<std::string_view, 17> kFormFactors = {
    "",        "Other",  "Unknown",
    "SIMM",    "SIP",    "Chip",
    "DIP",     "ZIP",    "Proprietary Card",
    "DIMM",    "TSOP",   "Row of chips",
    "RIMM",    "SODIMM", "SRIMM",
    "FB-DIMM", "Die",
};

constexpr std::array<std::string_view, 15> kSlotWidths = {
    "",   "Other", "Unknown", "8 bit", "16 bit", "32 bit", "64 bit", "128 bit",
    "x1", "x2",    "x4",      "x8",    "x12",    "x16",    "x32",
};

constexpr std::array<std::string_view, 6> kSlotUsages = {
    "", "Other", "Unknown", "Available", "In use", "Unavailable",
};

constexpr std::array<std::string_view, 24> kLegacySlotTypes = {
    "",
    "Other",
    "Unknown",
    "ISA",
    "MCA",
    "EISA",
    "PCI",
    "PC Card (PCMCIA)",
    "VL-VESA",
    "Proprietary",
    "Processor Card",
    "Proprietary Memory Card",
    "I/O Riser Card",
    "NuBus",
    "PCI-66",
    "AGP",
    "AGP 2X",
    "AGP 4X",
    "PCI-X",
    "AGP 8X",
    "M.2 Socket 1-DP (Mechanical Key A)",
    "M.2 Socket 1-SD (Mechanical Key E)",
    "M.2 Socket 2 (Mechanical Key B)",
    "M.2 Socket 3 (Mechanical Key M)",
};

constexpr std::array<std::string_view, 9> kPlaceholders = {
    "to be filled by o.e.m.",
    "default string",
    "not specified",
    "not applicable",
    "none",
    "system serial number",
    "n/a",
    "unknown",
    "0123456789",
};

template <std::size_t N>
std::optional<std::string> Lookup(const std::array<std::string_view, N>& names,
                                  std::optional<std::uint32_t> code) {
  if (!code || *code >= N || names[*code].empty()) return std::nullopt;
  return std::string(names[*code]);
}

// PCI Express slot codes come in runs of six per generation: the bare name, then x1 to x16.
std::optional<std::string> PciExpressSlotName(std::uint8_t code) {
  struct Run {
    std::uint8_t first;
    std::string_view name;
  };
  static constexpr std::array<Run, 5> kRuns = {{{0xA5, "PCI Express"},
                                                {0xAB, "PCI Express Gen 2"},
                                                {0xB1, "PCI Express Gen 3"},
                                                {0xB8, "PCI Express Gen 4"},
                                                {0xBE, "PCI Express Gen 5"}}};
  static constexpr std::array<std::string_view, 6> kLanes = {"",    " x1", " x2",
                                                             " x4", " x8", " x16"};
  for (const Run& run : kRuns) {
    if (code >= run.first && code < run.first + kLanes.size()) {
      return std::string(run.name) + std::string(kLanes[code - run.first]);
    }
  }
  return std::nullopt;
}

std::optional<std::string> SlotTypeName(std::optional<std::uint8_t> code) {
  if (!code) return std::nullopt;
  if (auto legacy = Lookup(kLegacySlotTypes, *code)) return legacy;
  return PciExpressSlotName(*code);
}

SmbiosBios DecodeBios(const SmbiosStructure& s) {
  return {s.String(0x04), s.String(0x05), s.String(0x08)};
}

SmbiosBoard DecodeBoard(const SmbiosStructure& s) {
  return {s.String(0x04), s.String(0x05), s.String(0x07)};
}

SmbiosChassis DecodeChassis(const SmbiosStructure& s) {
  const std::optional<std::uint8_t> code = s.Byte(0x05);
  return {code ? ChassisTypeName(*code) : std::nullopt};
}

// The ID field holds the signature (EAX) in its low dword and the feature flags (EDX) above.
std::optional<std::string> ProcessorId(std::optional<std::uint64_t> id) {
  if (!id || *id == 0) return std::nullopt;
  return FormatProcessorId(static_cast<std::uint32_t>(*id >> 32),
                           static_cast<std::uint32_t>(*id & 0xFFFFFFFFu));
}

SmbiosProcessor DecodeProcessor(const SmbiosStructure& s) {
  SmbiosProcessor processor{s.String(0x04), s.String(0x07), s.String(0x10),
                            ProcessorId(s.Qword(0x08)), std::nullopt};
  if (auto speed = s.Word(0x14); speed && *speed != 0) processor.maxSpeedMHz = *speed;
  return processor;
}

SmbiosSlot DecodeSlot(const SmbiosStructure& s) {
  std::string summary;
  for (const auto& part : {SlotTypeName(s.Byte(0x05)), Lookup(kSlotWidths, s.Byte(0x06)),
                           Lookup(kSlotUsages, s.Byte(0x07))}) {
    if (!part) continue;
    if (!summary.empty()) summary += ", ";
    summary += *part;
  }
  SmbiosSlot slot{s.String(0x04), std::nullopt};
  if (!summary.empty()) slot.summary = summary;
  return slot;
}

// Module size in MB: the word holds MB, or KB when bit 15 is set; 0x7FFF sends the reader to
// the extended size dword.
std::optional<std::int64_t> MemoryDeviceSizeMB(const SmbiosStructure& s) {
  const std::optional<std::uint16_t> size = s.Word(0x0C);
  if (!size || *size == 0 || *size == kUnknownWord) return std::nullopt;
  if (*size == 0x7FFF) {
    const std::optional<std::uint32_t> extended = s.Dword(0x1C);
    if (!extended) return std::nullopt;
    return static_cast<std::int64_t>(*extended & 0x7FFFFFFFu);
  }
  if (*size & 0x8000) return (*size & 0x7FFF) / 1024;
  return *size;
}

std::optional<std::int64_t> KnownWord(std::optional<std::uint16_t> value) {
  if (!value || *value == 0 || *value == kUnknownWord) return std::nullopt;
  return *value;
}

SmbiosMemoryDevice DecodeMemoryDevice(const SmbiosStructure& s) {
  SmbiosMemoryDevice device;
  device.deviceLocator = s.String(0x10);
  device.bankLocator = s.String(0x11);
  device.manufacturer = s.String(0x17);
  device.partNumber = s.String(0x1A);
  device.serialNumber = s.String(0x18);
  device.memoryType = Lookup(kMemoryTypes, s.Byte(0x12));
  device.formFactor = Lookup(kFormFactors, s.Byte(0x0E));
  device.sizeMB = MemoryDeviceSizeMB(s);
  device.speedMTs = KnownWord(s.Word(0x15));
  device.dataWidth = KnownWord(s.Word(0x0A));
  return device;
}

}  // namespace

std::optional<std::string> ChassisTypeName(std::uint8_t code) {
  return Lookup(kChassisTypes, code & 0x7F);
}

SmbiosFacts ParseSmbiosFacts(std::string_view table) {
  SmbiosFacts facts;
  for (const SmbiosStructure& s : ParseSmbiosTable(table)) {
    switch (s.type) {
      case 0:
        if (!facts.bios) facts.bios = DecodeBios(s);
        break;
      case 2:
        if (!facts.board) facts.board = DecodeBoard(s);
        break;
      case 3:
        if (!facts.chassis) facts.chassis = DecodeChassis(s);
        break;
      case 4: {
        // Bit 6 of the status byte: the socket is populated.
        const bool populated = (s.Byte(0x18).value_or(0) & 0x40) != 0;
        if (!facts.processor && populated) facts.processor = DecodeProcessor(s);
        break;
      }
      case 9:
        facts.slots.push_back(DecodeSlot(s));
        break;
      case 17: {
        SmbiosMemoryDevice device = DecodeMemoryDevice(s);
        if (device.sizeMB) facts.memoryDevices.push_back(std::move(device));
        break;
      }
      default:
        break;
    }
  }
  return facts;
}

bool IsFirmwarePlaceholder(std::string_view text) {
  std::string lower(Trim(text));
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::find(kPlaceholders.begin(), kPlaceholders.end(), lower) != kPlaceholders.end();
}

std::optional<std::string> WithoutPlaceholder(std::optional<std::string> value) {
  if (value && IsFirmwarePlaceholder(*value)) return std::nullopt;
  return value;
}

}  // namespace harnel::decode
