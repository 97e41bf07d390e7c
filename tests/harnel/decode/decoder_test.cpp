// Decoders of firmware bytes (SMBIOS tables, EDID blocks) and the text helpers under them:
// they need nothing of the operating system, so they are tested on Windows as well.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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
#include "tests/support/case_file.h"

namespace harnel::decode {
namespace {

// The bytes of a file under the test data, read with the standard library alone.
std::string DataBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  EXPECT_TRUE(in.is_open()) << file;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The bytes of a file of the laptop's captured tree.
std::string FixtureBytes(std::string_view path) {
  std::filesystem::path file = std::filesystem::path(MACHINE_FIXTURES) / "laptop";
  file += std::filesystem::path(path);
  return DataBytes(file);
}

// What is not UTF-8 becomes U+FFFD, one for each unit that cannot start or go on a sequence,
// alike in the cleaned text and in the conversion to UTF-16, which keeps control characters.
TEST(TextUtilTest, ToValidUtf8ReplacesWhatIsNotUtf8) {
  struct Case {
    std::string in, out;
  };
  const std::vector<Case> cases = {
      {"plain", "plain"},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
      {"bad\xFFlead", "bad\xEF\xBF\xBDlead"},
      {"cut\xE2\x82", "cut\xEF\xBF\xBD"},
      {"cut\xF0\x9F\x98 mid", "cut\xEF\xBF\xBD mid"},
      {"overlong\xC0\xAF", "overlong\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"surrogate\xED\xA0\x80", "surrogate\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"tab\tkept\x01\x7F", "tab\tkept\x7F"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(ToValidUtf8(c.in), c.out);
    if (c.in.find('\x01') == std::string::npos) {
      EXPECT_EQ(Utf8ToUtf16(c.in), Utf8ToUtf16(c.out));
    }
  }
}

TEST(TextUtilTest, ParseUnsignedTakesOnlyWholeNumbers) {
  EXPECT_EQ(ParseUnsigned(" 42\n"), 42u);
  EXPECT_EQ(ParseUnsigned("0x8086", 16), 0x8086u);
  EXPECT_EQ(ParseUnsigned("12ab"), std::nullopt);
  EXPECT_EQ(ParseUnsigned(""), std::nullopt);
  EXPECT_EQ(ParseUnsigned("99999999999999999999999"), std::nullopt);
  EXPECT_EQ(ParseLeadingUnsigned("2694.854"), 2694u);
  EXPECT_EQ(ParseLeadingUnsigned("x1"), std::nullopt);
  EXPECT_EQ(ParseLeadingUnsigned("99999999999999999999999.5"), std::nullopt);
}

TEST(SmbiosTest, ParsesTheLaptopTableAndTheRecordsTheProviderUses) {
  const std::string table = FixtureBytes("/sys/firmware/dmi/tables/DMI");
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

  const SmbiosFacts facts = ParseSmbiosFacts(table);
  ASSERT_TRUE(facts.bios && facts.board && facts.chassis && facts.processor);
  EXPECT_EQ(facts.bios->vendor, "LENOVO");
  EXPECT_EQ(facts.bios->releaseDate, "11/28/2018");
  EXPECT_EQ(facts.board->serialNumber, "L1HF8AB01ZT");
  EXPECT_EQ(facts.chassis->chassisType, "Notebook");
  EXPECT_EQ(facts.processor->socket, "U3E1");
  EXPECT_EQ(facts.processor->processorId, "BFEBFBFF000806EA");
  EXPECT_EQ(facts.processor->maxSpeedMHz, 4000);
  ASSERT_EQ(facts.slots.size(), 2u);
  EXPECT_EQ(facts.slots[0].summary, "PCI Express Gen 3 x16, x16, In use");
  EXPECT_EQ(facts.slots[1].summary, "M.2 Socket 3 (Mechanical Key M), x4, Available");
  // The empty second memory slot is no module.
  ASSERT_EQ(facts.memoryDevices.size(), 1u);
  EXPECT_EQ(facts.memoryDevices[0].sizeMB, 8192);
  EXPECT_EQ(facts.memoryDevices[0].memoryType, "DDR4");
  EXPECT_EQ(facts.memoryDevices[0].formFactor, "SODIMM");
}

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

TEST(SmbiosTest, MemoryDeviceSizeUnits) {
  struct Case {
    std::uint16_t size;
    std::uint32_t extended;
    std::optional<std::int64_t> mb;
  };
  const std::vector<Case> cases = {
      {4096, 0, 4096},            // MB
      {0x8000 | 2048, 0, 2},      // KB when bit 15 is set
      {0x7FFF, 65536, 65536},     // the extended size field
      {0xFFFF, 0, std::nullopt},  // unknown
      {0, 0, std::nullopt},       // no module
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    const SmbiosFacts facts = ParseSmbiosFacts(MemoryDevice(c.size, c.extended));
    ASSERT_EQ(facts.memoryDevices.size(), c.mb ? 1u : 0u);
    if (c.mb) {
      EXPECT_EQ(facts.memoryDevices[0].sizeMB, c.mb);
    }
  }
}

// Each code of every field the provider names from a table, against the reference's own names
// (data/smbios-names.json): a name misspelt, a row lost or two rows swapped shows here.
TEST(SmbiosTest, NamesEachCodeAsTheReferenceDoes) {
  const auto names = nlohmann::json::parse(
      DataBytes(std::filesystem::path(MACHINE_FIXTURES) / "smbios-names.json"));
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
  const std::string table = FixtureBytes("/sys/firmware/dmi/tables/DMI");
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

TEST(EdidTest, ParsesPanelAndMonitorBlocks) {
  const std::optional<Edid> panel = ParseEdid(FixtureBytes("/sys/class/drm/card0-eDP-1/edid"));
  ASSERT_TRUE(panel);
  EXPECT_EQ(panel->manufacturerId, "LGD");
  EXPECT_EQ(panel->productCode, 0x0573);
  EXPECT_EQ(panel->name, "LP140WF7-SPB1");  // no name descriptor: the panel's model text
  ASSERT_TRUE(panel->preferredMode);
  EXPECT_EQ(panel->preferredMode->width, 1920);
  EXPECT_EQ(panel->preferredMode->height, 1080);
  EXPECT_EQ(panel->preferredMode->refreshHz, 60);
  EXPECT_EQ(panel->widthCm, 31);
  std::string slow = FixtureBytes("/sys/class/drm/card0-eDP-1/edid");
  slow[60] = 0x46, slow[61] = 0x41;  // 326 lines of vertical blanking: the panel's 48 Hz mode
  EXPECT_EQ(ParseEdid(slow)->preferredMode->refreshHz, 48);
  // What is no base block: cut short, empty, or with a broken header.
  EXPECT_FALSE(ParseEdid(slow.substr(0, 127)));
  EXPECT_FALSE(ParseEdid(""));
  slow[1] = 0;
  EXPECT_FALSE(ParseEdid(slow));

  const std::optional<Edid> monitor = ParseEdid(FixtureBytes("/sys/class/drm/card0-HDMI-A-1/edid"));
  ASSERT_TRUE(monitor);
  EXPECT_EQ(monitor->manufacturerId, "DEL");
  EXPECT_EQ(monitor->name, "DELL U2415");
  EXPECT_EQ(monitor->preferredMode->height, 1200);
  EXPECT_EQ(PnpVendorName("DEL"), "Dell");
  EXPECT_EQ(PnpVendorName("ZZZ"), std::nullopt);
}

// Real monitors' EDIDs (data/edid/samples.json): maker, name, and the refresh rate that the
// preferred timing gives the mode the kernel would list first.
TEST(EdidTest, ReadsRealMonitors) {
  const std::filesystem::path folder = std::filesystem::path(MACHINE_FIXTURES) / "edid";
  const nlohmann::json samples =
      nlohmann::json::parse(DataBytes(folder / "samples.json"), nullptr, true, true);
  ASSERT_FALSE(samples.empty());
  for (const nlohmann::json& sample : samples) {
    SCOPED_TRACE(sample.dump());
    ASSERT_EQ(
        WrongKeys(
            sample,
            {{"file", "manufacturerId", "monitorType", "mode", "refreshRateHz", "source"}, {}}),
        "");
    const std::optional<Edid> edid =
        ParseEdid(DataBytes(folder / sample["file"].get<std::string>()));
    ASSERT_TRUE(edid);
    EXPECT_EQ(edid->manufacturerId, sample["manufacturerId"]);
    const nlohmann::json& name = sample["monitorType"];
    EXPECT_EQ(edid->name, name.is_null() ? std::nullopt : std::optional(name.get<std::string>()));
    std::optional<int> hertz;
    const nlohmann::json& mode = sample["mode"];
    const std::optional<DisplayMode> listed =
        mode.is_null() ? std::nullopt : ParseModeName(mode.get<std::string>());
    if (listed && edid->preferredMode && SameMode(*edid->preferredMode, *listed)) {
      hertz = edid->preferredMode->refreshHz;
    }
    const nlohmann::json& rate = sample["refreshRateHz"];
    EXPECT_EQ(hertz, rate.is_null() ? std::nullopt : std::optional(rate.get<int>()));
  }
  // Three name descriptors, each the same name filling all 13 bytes: a repeat, not a run-on.
  std::string repeated = DataBytes(folder / "041-ASUS-WWW282C.bin");
  for (std::size_t text : {77, 95, 113}) repeated.replace(text, 13, "ZN242GD-ASUS1");
  EXPECT_EQ(ParseEdid(repeated)->name, "ZN242GD-ASUS1");
}

TEST(ModeNameTest, MatchesOnlyTheTimingItNames) {
  struct Case {
    std::string_view name;
    DisplayMode timing;
    bool same;
  };
  const std::vector<Case> cases = {
      {"1920x1080", {1920, 1080, 60, false}, true}, {"1920x1080i", {1920, 1080, 60, true}, true},
      {"1920x1080", {1920, 1080, 60, true}, false}, {"1920x1080i", {1920, 1080, 60, false}, false},
      {"1280x768i", {1280, 1536, 65, true}, true},  // the kernel keeps a field's lines here
      {"1280x768", {1280, 1536, 65, false}, false}, {"1920x1200", {1920, 1080, 60, false}, false},
      {"1366x768", {1360, 768, 60, false}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<DisplayMode> listed = ParseModeName(c.name);
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->refreshHz, 0);
    EXPECT_EQ(SameMode(c.timing, *listed), c.same);
  }
  for (std::string_view name : {"", "x1080", "1920x", "1920", "1920-1080", "0x0", "99999x1"}) {
    EXPECT_FALSE(ParseModeName(name)) << name;
  }
}

}  // namespace
}  // namespace harnel::decode
