// Parsers of kernel text, firmware tables and databases, fed captured bytes.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
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
#include "tests/support/scratch_dir.h"

namespace harnel::linux {
namespace {

const std::filesystem::path kLaptop = std::filesystem::path(MACHINE_FIXTURES) / "laptop";

std::string FixtureBytes(std::string_view path) {
  std::optional<std::string> bytes = ReadMachineFile(kLaptop, path);
  EXPECT_TRUE(bytes.has_value()) << path;
  return bytes.value_or("");
}

TEST(OsParseTest, OsReleaseValues) {
  const OsRelease release = ParseOsRelease(
      "# comment\nNAME=\"Fedora Linux\"\nVERSION='39 (Workstation)'\n"
      "PRETTY_NAME=\"Fedora \\\"Linux\\\" 39\"\nBROKEN LINE\nID=fedora\n");
  EXPECT_EQ(release.name, "Fedora Linux");
  EXPECT_EQ(release.version, "39 (Workstation)");
  EXPECT_EQ(release.prettyName, "Fedora \"Linux\" 39");
  EXPECT_FALSE(ParseOsRelease("PRETTY_NAME=\"\"\n").prettyName);
}

TEST(OsParseTest, UptimeFormat) {
  for (const auto& [text, formatted] : {std::pair{"0.50 1.00", "0 days 00:00:00"},
                                        {"59.99 1", "0 days 00:00:59"},
                                        {"86400.00 1", "1 day 00:00:00"},
                                        {"273906.42 1", "3 days 04:05:06"}}) {
    SCOPED_TRACE(text);
    std::optional<std::int64_t> seconds = ParseUptimeSeconds(text);
    ASSERT_TRUE(seconds);
    EXPECT_EQ(decode::FormatUptime(*seconds), formatted);
  }
  EXPECT_FALSE(ParseUptimeSeconds("garbage"));
}

TEST(ProcessorParseTest, CpuInfoReadsTheFirstProcessorOnly) {
  const CpuInfo cpu = ParseCpuInfo(FixtureBytes("/proc/cpuinfo"));
  EXPECT_EQ(cpu.modelName, "Intel(R) Core(TM) i7-8550U CPU @ 1.80GHz");
  EXPECT_EQ(cpu.vendorId, "GenuineIntel");
  EXPECT_EQ(cpu.family, 6);
  EXPECT_EQ(cpu.model, 142);
  EXPECT_EQ(cpu.stepping, 10);
  EXPECT_EQ(cpu.mhz, 1993);
  EXPECT_TRUE(cpu.longMode);
}

TEST(ProcessorParseTest, DescriptionAndCacheSizes) {
  CpuInfo cpu;
  EXPECT_FALSE(DescribeProcessor(cpu));
  cpu.family = 25, cpu.model = 33, cpu.stepping = 0;
  EXPECT_EQ(DescribeProcessor(cpu), "x86 Family 25 Model 33 Stepping 0");
  cpu.longMode = true;
  cpu.vendorId = "AuthenticAMD";
  EXPECT_EQ(DescribeProcessor(cpu), "AMD64 Family 25 Model 33 Stepping 0");
  cpu.vendorId = "GenuineIntel";
  EXPECT_EQ(DescribeProcessor(cpu), "Intel64 Family 25 Model 33 Stepping 0");

  EXPECT_EQ(ParseCacheSizeKB("512K"), 512);
  EXPECT_EQ(ParseCacheSizeKB("8M\n"), 8192);
  EXPECT_EQ(ParseCacheSizeKB("1024"), 1024);
  EXPECT_EQ(ParseCacheSizeKB("K"), std::nullopt);
}

TEST(MemoryParseTest, MemInfoTotals) {
  const MemInfo info =
      ParseMemInfo("MemTotal:       16131244 kB\nMemFree: 1 kB\nSwapTotal: 0 kB\n");
  EXPECT_EQ(info.memTotalKB, 16131244);
  EXPECT_EQ(info.swapTotalKB, 0);
  EXPECT_FALSE(ParseMemInfo("MemTotal: lots\n").memTotalKB);
}

TEST(MemoryParseTest, UdevMemoryDevices) {
  const std::vector<decode::SmbiosMemoryDevice> devices = ParseUdevMemoryDevices(
      "E:MEMORY_DEVICE_0_SIZE=8589934592\nE:MEMORY_DEVICE_0_BANK_LOCATOR=BANK 0\n"
      "E:MEMORY_DEVICE_0_TYPE=DDR5\nE:MEMORY_DEVICE_1_PRESENT=0\nE:MEMORY_DEVICE_1_SIZE=1\n"
      "E:MEMORY_DEVICE_10_SIZE=4294967296\nE:MEMORY_DEVICE_10_SPEED_MTS=4800\n"
      "E:MEMORY_DEVICE_X_SIZE=1\nE:MEMORY_ARRAY_LOCATION=System Board\n");
  ASSERT_EQ(devices.size(), 2u);
  EXPECT_EQ(devices[0].sizeMB, 8192);
  EXPECT_EQ(devices[0].bankLocator, "BANK 0");
  EXPECT_EQ(devices[0].memoryType, "DDR5");
  EXPECT_EQ(devices[1].sizeMB, 4096);
  EXPECT_EQ(devices[1].speedMTs, 4800);
}

TEST(UserinfoParseTest, UtmpLogons) {
  const std::string wtmp = FixtureBytes("/var/log/wtmp");
  const std::vector<Logon> logons = ParseUtmpLogons(wtmp);
  ASSERT_EQ(logons.size(), 4u);  // the logout record is no logon
  EXPECT_EQ(logons[0].user, "bob");
  EXPECT_EQ(logons[0].time, 1690000000);
  EXPECT_EQ(logons[3].user, "dave");
  // A record torn by a concurrent write is left out.
  EXPECT_EQ(ParseUtmpLogons(wtmp.substr(0, wtmp.size() - 1)).size(), 3u);

  // The tail of a long history is read in whole records.
  const std::size_t record = wtmp.size() / 5;
  std::optional<std::string> tail =
      ReadMachineFileTail(kLaptop, "/var/log/wtmp", 2 * record + record / 2, record);
  ASSERT_TRUE(tail);
  EXPECT_EQ(tail->size(), 2 * record);
  const std::vector<Logon> last = ParseUtmpLogons(*tail);
  ASSERT_EQ(last.size(), 2u);
  EXPECT_EQ(last[0].user, "alice");
  EXPECT_EQ(last[1].user, "dave");
}

TEST(UserinfoParseTest, ResolvDomain) {
  EXPECT_EQ(ParseResolvDomain("search a.example b.example\ndomain corp.example\n"), "corp.example");
  EXPECT_EQ(ParseResolvDomain("nameserver 1.1.1.1\nsearch a.example b.example\n"), "a.example");
  EXPECT_EQ(ParseResolvDomain("nameserver 1.1.1.1\nsearch\n"), std::nullopt);
}

TEST(InputParseTest, KeyboardsAndPointingDevices) {
  const std::vector<InputDevice> devices =
      ParseInputDevices(FixtureBytes("/proc/bus/input/devices"));
  // The power button has the keyboard handler but no key repeat: no keyboard.
  ASSERT_EQ(devices.size(), 3u);
  EXPECT_EQ(devices[0].name, "AT Translated Set 2 keyboard");
  EXPECT_EQ(devices[0].deviceType, "Keyboard");
  EXPECT_EQ(devices[0].bus, 0x11u);
  EXPECT_EQ(devices[1].deviceType, "Pointing");
  EXPECT_EQ(devices[2].name, "Logitech USB Receiver");
  EXPECT_EQ(devices[2].bus, 0x03u);
  EXPECT_EQ(devices[2].sysfsPath,
            "/devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/0003:046D:C52B.0001/input/input9");
  // The last block needs no blank line after it; a block without handlers is no device.
  EXPECT_EQ(ParseInputDevices("H: Handlers=kbd\nB: EV=120013\n\nB: EV=120013").size(), 1u);
}

// Each bus the kernel numbers an input device by names it in the description; an unknown one
// says only "Input".
TEST(InputParseTest, DescriptionsNameTheBus) {
  const velmora_test::ScratchDir root;
  const std::vector<std::pair<const char*, const char*>> buses = {
      {"0003", "USB"}, {"0005", "Bluetooth"}, {"0006", "Virtual"}, {"0011", "PS/2"},
      {"0018", "I2C"}, {"0019", "Built-in"},  {"001c", "SPI"},     {"0010", "Input"}};
  std::string devices;
  for (const auto& [bus, name] : buses) {
    devices += "I: Bus=" + std::string(bus) + " Vendor=0001\nN: Name=\"" + name +
               "\"\nH: Handlers=kbd event0\nB: EV=120013\n\n";
  }
  root.Write("proc/bus/input/devices", devices);
  SourceFact source;
  const nlohmann::json list = ProbeInputdeviceList(root.Path(), source);
  ASSERT_EQ(list.size(), buses.size()) << list;
  for (std::size_t i = 0; i < buses.size(); ++i) {
    EXPECT_EQ(list[i].value("description", ""), std::string(buses[i].second) + " keyboard");
  }
}

TEST(StorageParseTest, MediaTypesAndVirtualDevices) {
  EXPECT_EQ(MediaType("sda", 0, false), "Fixed\thard disk media");
  EXPECT_EQ(MediaType("nvme0n1", std::nullopt, false), "Fixed\thard disk media");
  EXPECT_EQ(MediaType("sr0", std::nullopt, true), "CD-ROM");
  EXPECT_EQ(MediaType("sdc", 5, true), "CD-ROM");
  EXPECT_EQ(MediaType("sdb", 0, true), "Removable media");
  for (std::string_view name : {"loop0", "ram15", "zram0"}) EXPECT_TRUE(IsVirtualBlockDevice(name));
  for (std::string_view name : {"sda", "nvme0n1", "dm-0", "md127"}) {
    EXPECT_FALSE(IsVirtualBlockDevice(name));
  }
}

// Each family of block device names its kind of drive; a name of no family is a disk drive.
TEST(StorageParseTest, DescriptionsNameTheFamily) {
  const velmora_test::ScratchDir root;
  const std::map<std::string, std::string> families = {
      {"nvme0n1", "NVMe disk drive"},     {"sr0", "CD-ROM drive"},
      {"sda", "SCSI disk drive"},         {"vda", "Virtio disk drive"},
      {"xvda", "Xen virtual disk drive"}, {"mmcblk0", "MMC/SD card"},
      {"hda", "IDE disk drive"},          {"zd0", "Disk drive"}};
  for (const auto& [name, description] : families) root.Write("sys/block/" + name + "/size", "0");
  std::map<std::string, std::string> described;
  SourceFact listing;
  for (const nlohmann::json& disk : ProbeStorageList(root.Path(), listing)) {
    described[disk.value("name", "")] = disk.value("description", "");
  }
  for (const auto& [name, description] : families) {
    EXPECT_EQ(described["/dev/" + name], description) << name;
  }
}

TEST(VideoParseTest, LargestPrefetchableWindow) {
  EXPECT_EQ(
      ParseLargestPrefetchWindowMB(FixtureBytes("/sys/devices/pci0000:00/0000:00:02.0/resource")),
      256);
  // Non-prefetchable memory and I/O ports are no video memory.
  EXPECT_EQ(ParseLargestPrefetchWindowMB("0x00000000eb000000 0x00000000ebffffff 0x00040200\n"
                                         "0x000000000000e000 0x000000000000e03f 0x00040101\n"),
            std::nullopt);
}

// The names a database gives one device, 8086:5917 of class 03 00, its lines well formed or
// not: what lspci shows where it shows anything, and where lspci gives up on the database
// (and ends its process), the names of the lines that can be read. A vendor of no device asked
// for is never named.
TEST(PciNamesTest, OddAndMalformedLines) {
  using namespace std::string_literals;
  const std::string intel = "8086  Intel Corporation\n", gpu = "\t5917  UHD Graphics 620\n",
                    display = "C 03  Display controller\n", vga = "\t00  VGA compatible\n";
  const std::string longName(300, 'x'), longClass(250, 'D');
  struct Row {
    std::string ids;
    std::optional<std::string> vendor, model, type;
  };
  const Row rows[] = {
      {"", std::nullopt, std::nullopt, std::nullopt},
      // A model and a subclass the database does not know: the class names the device.
      {"10de  NVIDIA Corporation\n\t5917  Other\n" + intel + "\t5916  Other\n" + display +
           "\t80  Display\n",
       "Intel Corporation", std::nullopt, "Display controller"},
      // Comments, blank lines and a subsystem line that carries the model's ID.
      {"# c\n" + intel + "# c\n\t# c\n\t5916  A\n\t\t8086 5917  Board\n" + gpu + "\n" + display +
           vga,
       "Intel Corporation", "UHD Graphics 620", "VGA compatible"},
      {"8086  Intel Corporation\r\n\t5917  UHD Graphics 620\r\nC 03  Display\r\n\t00  VGA\r\n",
       "Intel Corporation", "UHD Graphics 620", "VGA"},
      // One trailing space or tab goes, white space before a name goes, inside it stays.
      {"8086 \t Intel Corporation  \n\t5917\tUHD\tGraphics\t\n", "Intel Corporation ",
       "UHD\tGraphics", std::nullopt},
      // A letter in place of a digit makes no ID at all, not another one.
      {"8x86  Not Intel\n\t5917  Not a model\n" + intel + gpu + display + vga, "Intel Corporation",
       "UHD Graphics 620", "VGA compatible"},
      // An ID run on into its name, or with no name: no name, and none under such a vendor.
      {"8086x Intel Corporation\n" + gpu + display + vga, std::nullopt, std::nullopt,
       "VGA compatible"},
      {intel + "\t5917x UHD Graphics 620\n\t5917\n\t5917  \n" + display + "\t0\n",
       "Intel Corporation", std::nullopt, "Display controller"},
      // Text that ends inside a line, a name cut at a NUL, a carriage return inside it.
      {intel + "\t5917  UHD Gra", "Intel Corporation", "UHD Gra", std::nullopt},
      {"8086  Intel\0Corporation\n\t5917  UHD\rGraphics\nC 03\n"s, "Intel", "UHD", std::nullopt},
      // Of an ID given twice the first line holds; long names end at 255 bytes, "..." last.
      {intel + "\t5917  " + longName + "\n" + gpu + "C 03  " + longClass + "\n",
       "Intel Corporation", longName.substr(0, 252) + "...", longClass + " [..."},
      // Classes before vendors, the last line without its line break.
      {display + vga + intel + "\t5917  UHD", "Intel Corporation", "UHD", "VGA compatible"},
  };
  PciDevice device;
  device.vendor = 0x8086, device.device = 0x5917, device.classCode = 0x030000;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.ids);
    const PciNames names(row.ids, {device});
    EXPECT_EQ(names.Vendor(0x8086), row.vendor);
    EXPECT_EQ(names.Device(0x8086, 0x5917), row.model);
    EXPECT_EQ(names.Class(device.classCode), row.type);
    EXPECT_EQ(names.Vendor(0x10de), std::nullopt);
  }
}

TEST(NetworkParseTest, AdapterTypes) {
  EXPECT_EQ(AdapterTypeName(1, false), "Ethernet 802.3");
  EXPECT_EQ(AdapterTypeName(1, true), "Wireless 802.11");
  EXPECT_EQ(AdapterTypeName(32, false), "InfiniBand");
  EXPECT_EQ(AdapterTypeName(512, false), "PPP");
  EXPECT_EQ(AdapterTypeName(519, false), "IP over FireWire");
  EXPECT_EQ(AdapterTypeName(65534, false), std::nullopt);
  EXPECT_EQ(AdapterTypeName(std::nullopt, false), std::nullopt);
}

}  // namespace
}  // namespace harnel::linux
