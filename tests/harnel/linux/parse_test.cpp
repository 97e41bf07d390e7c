// Parsers of kernel text, firmware tables and databases, fed captured bytes: the rows of
// data/parse_cases.txt, then the logons of binary utmp records.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "harnel/decode/record_formats.h"
#include "harnel/linux/inputdevice.h"
#include "harnel/linux/machine_files.h"
#include "harnel/linux/memory.h"
#include "harnel/linux/networkadapter.h"
#include "harnel/linux/os.h"
#include "harnel/linux/pci.h"
#include "harnel/linux/phymemory.h"
#include "harnel/linux/processor.h"
#include "harnel/linux/storage.h"
#include "harnel/linux/userinfo.h"
#include "harnel/linux/videoadapter.h"
#include "tests/harnel/parser_cases.h"
#include "tests/support/scratch_dir.h"

namespace harnel::linux {
namespace {

using parser_cases::Input, parser_cases::Joined, parser_cases::Number, parser_cases::Shown;

// The descriptions of a list's records.
std::string Descriptions(const nlohmann::json& list) {
  std::vector<std::string> all;
  for (const nlohmann::json& item : list) all.push_back(item.value("description", ""));
  return Joined(all, "; ");
}

// The names a database gives one device, 8086:5917 of class 03 00; a vendor of no device asked
// for is never named.
std::string PciNamesOf(const CaseRow& row) {
  PciDevice device;
  device.vendor = 0x8086, device.device = 0x5917, device.classCode = 0x030000;
  const PciNames names(Input(row, 1), {device});
  EXPECT_EQ(names.Vendor(0x10de), std::nullopt);
  return Joined({Shown(names.Vendor(0x8086)), Shown(names.Device(0x8086, 0x5917)),
                 Shown(names.Class(device.classCode))});
}

const std::map<std::string, parser_cases::Parser> kParsers = {
    {"os-release",
     [](const CaseRow& row) {
       const OsRelease release = ParseOsRelease(Input(row, 1));
       return Joined({Shown(release.name), Shown(release.version), Shown(release.prettyName)});
     }},
    {"uptime",
     [](const CaseRow& row) {
       const std::optional<std::int64_t> seconds = ParseUptimeSeconds(Input(row, 1));
       return seconds ? decode::FormatUptime(*seconds) : "-";
     }},
    {"cpuinfo",
     [](const CaseRow& row) {
       const CpuInfo cpu = ParseCpuInfo(Input(row, 1));
       return Joined({Shown(cpu.modelName), Shown(cpu.vendorId), Shown(cpu.family),
                      Shown(cpu.model), Shown(cpu.stepping), Shown(cpu.mhz), Shown(cpu.longMode)});
     }},
    {"describe-processor",
     [](const CaseRow& row) {
       CpuInfo cpu;
       if (row.Text(1)) cpu.vendorId = row.Bytes(1);
       cpu.family = Number(row, 2), cpu.model = Number(row, 3), cpu.stepping = Number(row, 4);
       cpu.longMode = row.Value(5) != 0;
       return Shown(DescribeProcessor(cpu));
     }},
    {"cache-size", [](const CaseRow& row) { return Shown(ParseCacheSizeKB(Input(row, 1))); }},
    {"meminfo",
     [](const CaseRow& row) {
       const MemInfo info = ParseMemInfo(Input(row, 1));
       return Joined({Shown(info.memTotalKB), Shown(info.swapTotalKB)});
     }},
    {"udev-memory",
     [](const CaseRow& row) {
       std::vector<std::string> devices;
       for (const decode::SmbiosMemoryDevice& d : ParseUdevMemoryDevices(Input(row, 1))) {
         devices.push_back(Joined(
             {Shown(d.sizeMB), Shown(d.bankLocator), Shown(d.memoryType), Shown(d.speedMTs)}));
       }
       return Joined(devices, "; ");
     }},
    {"resolv-domain", [](const CaseRow& row) { return Shown(ParseResolvDomain(Input(row, 1))); }},
    {"input-devices",
     [](const CaseRow& row) {
       std::vector<std::string> devices;
       for (const InputDevice& d : ParseInputDevices(Input(row, 1))) {
         devices.push_back(Joined({d.name, d.deviceType, std::to_string(d.bus), d.sysfsPath}));
       }
       return Joined(devices, "; ");
     }},
    // A keyboard on the bus numbered by the row, alone in a machine's list.
    {"input-bus",
     [](const CaseRow& row) {
       const velmora_test::ScratchDir root;
       root.Write("proc/bus/input/devices", "I: Bus=" + row.Bytes(1) +
                                                " Vendor=0001\nN: Name=\"k\"\n"
                                                "H: Handlers=kbd event0\nB: EV=120013\n\n");
       SourceFact source;
       return Descriptions(ProbeInputdeviceList(root.Path(), source));
     }},
    {"media-type",
     [](const CaseRow& row) {
       return MediaType(row.Bytes(1), Number<std::uint64_t>(row, 2), row.Value(3) != 0);
     }},
    {"virtual-block", [](const CaseRow& row) { return Shown(IsVirtualBlockDevice(row.Bytes(1))); }},
    // A block device of the name given, alone in a machine's list.
    {"block-device",
     [](const CaseRow& row) {
       const velmora_test::ScratchDir root;
       root.Write("sys/block/" + row.Bytes(1) + "/size", "0");
       SourceFact listing;
       return Descriptions(ProbeStorageList(root.Path(), listing));
     }},
    {"prefetch-window",
     [](const CaseRow& row) { return Shown(ParseLargestPrefetchWindowMB(Input(row, 1))); }},
    {"pci-names", PciNamesOf},
    {"pci-uevent",
     [](const CaseRow& row) {
       const std::optional<PciDevice> d = ParsePciUevent(Input(row, 1));
       char text[32] = "-";
       if (d) {
         std::snprintf(text, sizeof text, "%04x:%04x %04x:%04x %06x", d->vendor, d->device,
                       d->subVendor, d->subDevice, d->classCode);
       }
       return std::string(text);
     }},
    {"adapter-type",
     [](const CaseRow& row) {
       return Shown(AdapterTypeName(Number<std::uint64_t>(row, 1), row.Value(2) != 0));
     }},
};

TEST(LinuxParseTest, EachParserGivesTheFieldsOfItsRows) {
  parser_cases::ExpectEveryRow({MACHINE_FIXTURES "/parse_cases.txt"}, kParsers);
}

TEST(UserinfoParseTest, UtmpLogons) {
  const std::string wtmp = parser_cases::LaptopBytes("/var/log/wtmp");
  const std::vector<Logon> logons = ParseUtmpLogons(wtmp);
  ASSERT_EQ(logons.size(), 4u);  // the logout record is no logon
  EXPECT_EQ(logons[0].user, "bob");
  EXPECT_EQ(logons[0].time, 1690000000);
  EXPECT_EQ(logons[3].user, "dave");
  // A record torn by a concurrent write is left out.
  EXPECT_EQ(ParseUtmpLogons(wtmp.substr(0, wtmp.size() - 1)).size(), 3u);

  // The tail of a long history is read in whole records.
  const std::size_t record = wtmp.size() / 5;
  std::optional<std::string> tail = ReadMachineFileTail(MACHINE_FIXTURES "/laptop", "/var/log/wtmp",
                                                        2 * record + record / 2, record);
  ASSERT_TRUE(tail);
  EXPECT_EQ(tail->size(), 2 * record);
  const std::vector<Logon> last = ParseUtmpLogons(*tail);
  ASSERT_EQ(last.size(), 2u);
  EXPECT_EQ(last[0].user, "alice");
  EXPECT_EQ(last[1].user, "dave");
}

}  // namespace
}  // namespace harnel::linux
