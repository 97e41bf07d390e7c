// Decoders of firmware bytes (SMBIOS tables, EDID blocks) and the text helpers under them:
// they need nothing of the operating system, so they are tested on Windows as well. The rows of
// data/decode_cases.txt and of the real monitors' EDIDs first, then what takes more than a row.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "harnel/decode/edid.h"
#include "harnel/decode/mode_name.h"
#include "harnel/decode/smbios.h"
#include "harnel/decode/smbios_records.h"
#include "harnel/decode/text_util.h"
#include "harnel/decode/utf16.h"
#include "tests/harnel/parser_cases.h"

namespace harnel::decode {
namespace {

using parser_cases::FileBytes, parser_cases::Input, parser_cases::Joined, parser_cases::Shown;

// A type 17 structure with the given size word and extended size, other fields zero.
std::string MemoryDevice(std::uint16_t size, std::uint32_t extended) {
  std::string s(0x22, '\0');
  s[0] = 17;
  s[1] = 0x22;
  s[0x0C] = static_cast<char>(size & 0xFF);
  s[0x0D] = static_cast<char>(size >> 8);
  for (int i = 0; i < 4; ++i) s[0x1C + i] = static_cast<char>(extended >> (8 * i));
  return s + std::string(2, '\0');
}

std::string ShownMode(const std::optional<DisplayMode>& mode) {
  if (!mode) return "-";
  return std::to_string(mode->width) + "x" + std::to_string(mode->height) +
         (mode->interlaced ? "i" : "") + "@" + std::to_string(mode->refreshHz);
}

const std::map<std::string, parser_cases::Parser> kParsers = {
    {"valid-utf8",
     [](const CaseRow& row) {
       const std::string in = row.Bytes(1);
       // The conversion to UTF-16 replaces alike, but keeps control characters.
       if (in.find('\x01') == std::string::npos) {
         EXPECT_EQ(Utf8ToUtf16(in), Utf8ToUtf16(row.Bytes(2)));
       }
       return ToValidUtf8(in);
     }},
    {"to-utf16",
     [](const CaseRow& row) {
       std::vector<std::string> units;
       for (const WChar unit : Utf8ToUtf16(row.Bytes(1))) {
         char hex[8];
         std::snprintf(hex, sizeof hex, "%04x", static_cast<unsigned>(unit));
         units.emplace_back(hex);
       }
       return Joined(units, " ");
     }},
    {"to-utf8", [](const CaseRow& row) { return Utf16ToUtf8(row[1]); }},
    {"unsigned",
     [](const CaseRow& row) {
       return Shown(ParseUnsigned(row.Bytes(1), static_cast<int>(row.Value(2))));
     }},
    {"leading-unsigned",
     [](const CaseRow& row) { return Shown(ParseLeadingUnsigned(row.Bytes(1))); }},
    {"smbios",
     [](const CaseRow& row) {
       const SmbiosFacts f = ParseSmbiosFacts(Input(row, 1));
       std::vector<std::string> parts = {
           f.bios ? Joined({Shown(f.bios->vendor), Shown(f.bios->releaseDate)}) : "-",
           f.board ? Shown(f.board->serialNumber) : "-",
           f.chassis ? Shown(f.chassis->chassisType) : "-",
           f.processor ? Joined({Shown(f.processor->socket), Shown(f.processor->processorId),
                                 Shown(f.processor->maxSpeedMHz)})
                       : "-"};
       for (const SmbiosSlot& slot : f.slots) parts.push_back(Shown(slot.summary));
       for (const SmbiosMemoryDevice& m : f.memoryDevices) {
         parts.push_back(Joined({Shown(m.sizeMB), Shown(m.memoryType), Shown(m.formFactor)}));
       }
       return Joined(parts, "; ");
     }},
    // A lone memory device of the size word and extended size given: the sizes of the modules.
    {"memory-size",
     [](const CaseRow& row) {
       const SmbiosFacts facts = ParseSmbiosFacts(MemoryDevice(
           static_cast<std::uint16_t>(row.Value(1)), static_cast<std::uint32_t>(row.Value(2))));
       std::vector<std::string> sizes;
       for (const SmbiosMemoryDevice& m : facts.memoryDevices) sizes.push_back(Shown(m.sizeMB));
       return Joined(sizes, "; ");
     }},
    {"edid",
     [](const CaseRow& row) {
       const std::optional<Edid> edid = ParseEdid(Input(row, 1));
       if (!edid) return std::string("-");
       char product[8];
       std::snprintf(product, sizeof product, "%04x", edid->productCode);
       return Joined({edid->manufacturerId, product, Shown(edid->name),
                      ShownMode(edid->preferredMode), std::to_string(edid->widthCm)});
     }},
    // A real monitor's EDID (linux/data/edid/samples.txt): maker, name, and the refresh rate the
    // preferred timing gives the mode the kernel would list first. The source is only the row's
    // origin, which every row names.
    {"edid-sample",
     [](const CaseRow& row) {
       EXPECT_TRUE(row.quoted.at(3) && !row[3].empty()) << "no source";
       const std::optional<Edid> edid =
           ParseEdid(FileBytes(MACHINE_FIXTURES "/edid/" + row.Bytes(1)));
       const std::optional<DisplayMode> listed =
           row.Text(2) ? ParseModeName(row.Bytes(2)) : std::nullopt;
       if (!edid) return std::string("-");
       std::optional<int> hertz;
       if (listed && edid->preferredMode && SameMode(*edid->preferredMode, *listed)) {
         hertz = edid->preferredMode->refreshHz;
       }
       return Joined({edid->manufacturerId, Shown(edid->name), Shown(hertz)});
     }},
    {"pnp-vendor", [](const CaseRow& row) { return Shown(PnpVendorName(row.Bytes(1))); }},
    {"mode-name", [](const CaseRow& row) { return ShownMode(ParseModeName(row.Bytes(1))); }},
    // Whether a listed mode of the name given is the timing given (width, height, refresh,
    // interlaced).
    {"same-mode",
     [](const CaseRow& row) {
       const std::optional<DisplayMode> listed = ParseModeName(row.Bytes(1));
       const DisplayMode timing{static_cast<int>(row.Value(2)), static_cast<int>(row.Value(3)),
                                static_cast<int>(row.Value(4)), row.Value(5) != 0};
       return listed ? Shown(SameMode(timing, *listed)) : "-";
     }},
};

TEST(DecoderTest, EachDecoderGivesTheFieldsOfItsRows) {
  parser_cases::ExpectEveryRow({VELMORA_SOURCE_DIR "/tests/harnel/decode/data/decode_cases.txt",
                                MACHINE_FIXTURES "/edid/samples.txt"},
                               kParsers);
}

TEST(SmbiosTest, ParsesTheLaptopTableStructureByStructure) {
  const std::string table = parser_cases::LaptopBytes("/sys/firmware/dmi/tables/DMI");
  const std::vector<SmbiosStructure> structures = ParseSmbiosTable(table);
  ASSERT_EQ(structures.size(), 10u);
  EXPECT_EQ(structures[0].type, 0);
  EXPECT_EQ(structures[0].String(0x05), "N23ET59W (1.34 )");
  EXPECT_EQ(structures[5].type, 9);
  EXPECT_EQ(structures[5].handle, 0x0009);
  EXPECT_EQ(structures.back().type, 127);
  // A string number past the set, and number 0, name no string.
  EXPECT_EQ(structures[5].String(0x05), std::nullopt);
  EXPECT_EQ(structures[2].String(0x08), std::nullopt);
  // Fields past the formatted area of an older, shorter structure are absent.
  EXPECT_EQ(structures[5].Word(0x40), std::nullopt);
}

// Each code of every field the provider names from a table, against the reference's own names
// (data/smbios-names.json): a name misspelt, a row lost or two rows swapped shows here.
TEST(SmbiosTest, NamesEachCodeAsTheReferenceDoes) {
  const auto names = nlohmann::json::parse(
      FileBytes(std::filesystem::path(MACHINE_FIXTURES) / "smbios-names.json"));
  ASSERT_EQ(names.size(), 8u);
  auto named = [&names](const char* list, unsigned code) -> std::optional<std::string> {
    const nlohmann::json& all = names.at(list);
    const std::string key = std::to_string(code);
    std::string name = all.is_object()     ? all.value(key, "")
                       : code < all.size() ? all[code].get<std::string>()
                                           : "";
    if (name.empty()) return std::nullopt;
    return name;
  };
  for (unsigned code = 0; code < 256; ++code) {
    SCOPED_TRACE(code);
    EXPECT_EQ(ChassisTypeName(static_cast<std::uint8_t>(code)),
              named("chassis types", code & 0x7F));  // bit 7: the chassis has a lock

    std::string module = MemoryDevice(4096, 0);
    module[0x12] = module[0x0E] = static_cast<char>(code);
    const SmbiosFacts memory = ParseSmbiosFacts(module);
    ASSERT_EQ(memory.memoryDevices.size(), 1u);
    EXPECT_EQ(memory.memoryDevices[0].memoryType, named("memory types", code));
    EXPECT_EQ(memory.memoryDevices[0].formFactor, named("form factors", code));

    // A slot of this type, width and usage, and its summary: the names present, in that order.
    std::string slot(0x0D + 2, '\0');  // no strings: two NUL bytes end the structure
    slot[0] = 9;
    slot[1] = 0x0D;
    slot[0x05] = slot[0x06] = slot[0x07] = static_cast<char>(code);
    std::string summary;
    for (auto part : {named("slot types", code), named("slot types above the list", code),
                      named("slot widths", code), named("slot usages", code)}) {
      if (part) summary += (summary.empty() ? "" : ", ") + *part;
    }
    const SmbiosFacts slots = ParseSmbiosFacts(slot);
    ASSERT_EQ(slots.slots.size(), 1u);
    EXPECT_EQ(slots.slots[0].summary.value_or(""), summary);
  }
  for (const nlohmann::json& text : names.at("placeholders")) {
    const std::string placeholder = text.get<std::string>();
    EXPECT_TRUE(IsFirmwarePlaceholder(" " + placeholder + " ")) << placeholder;
    EXPECT_FALSE(IsFirmwarePlaceholder(placeholder + ".")) << placeholder;
  }
}

TEST(SmbiosTest, TruncatedTableStopsAtTheLastWholeStructure) {
  const std::string table = parser_cases::LaptopBytes("/sys/firmware/dmi/tables/DMI");
  const std::size_t whole = ParseSmbiosTable(table).size();
  for (std::size_t cut = 0; cut < table.size(); cut += 7) {
    SCOPED_TRACE(cut);
    const std::string part = table.substr(0, cut);
    std::vector<SmbiosStructure> structures = ParseSmbiosTable(part);
    EXPECT_LT(structures.size(), whole);
    for (const SmbiosStructure& s : structures) {
      EXPECT_LE(s.formatted.data() + s.formatted.size(), part.data() + part.size());
    }
  }
}

// Blocks changed: the panel's, with its 48 Hz mode, then no base block: cut short, or with a
// broken header; and a monitor's, with its name repeated.
TEST(EdidTest, ChangedBlocks) {
  std::string slow = parser_cases::LaptopBytes("/sys/class/drm/card0-eDP-1/edid");
  slow[60] = 0x46, slow[61] = 0x41;  // 326 lines of vertical blanking
  EXPECT_EQ(ParseEdid(slow)->preferredMode->refreshHz, 48);
  EXPECT_FALSE(ParseEdid(slow.substr(0, 127)));
  slow[1] = 0;
  EXPECT_FALSE(ParseEdid(slow));
  // Three name descriptors, each the same name filling all 13 bytes: a repeat, not a run-on.
  std::string repeated = FileBytes(MACHINE_FIXTURES "/edid/041-ASUS-WWW282C.bin");
  for (std::size_t text : {77, 95, 113}) repeated.replace(text, 13, "ZN242GD-ASUS1");
  EXPECT_EQ(ParseEdid(repeated)->name, "ZN242GD-ASUS1");
}

}  // namespace
}  // namespace harnel::decode
