// Whole records read from fixture trees: a laptop with DMI, an SMBIOS table and displays, a
// server whose SMBIOS table is closed to the reader, and a bare container.

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "harnel/explain.h"
#include "harnel/probe.h"
#include "harnel/probe/probe_networkadapter.h"
#include "harnel/probe/probe_printer.h"

namespace harnel {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const fs::path kFixtures = PROBE_FIXTURES;

struct Expected {
  std::string key;
  json record;
};

void ExpectRecords(const fs::path& root, const std::vector<Expected>& expected) {
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.key);
    EXPECT_EQ(ProbeMachine(e.key, root), e.record);
  }
}

TEST(FixtureTest, Laptop) {
  ExpectRecords(
      kFixtures / "laptop",
      {
          {"OS", json::parse(R"j({
      "osName": "Debian GNU/Linux 12 (bookworm)", "osType": "Linux x86_64",
      "osVersion": "6.1.0-18-amd64",
      "osDescription": "Linux 6.1.0-18-amd64 #1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)",
      "serialNumber": "0f3c2d1e9a8b47c6b5a4d3e2f1a0b9c8", "computerName": "thinkpad",
      "upTime": "3 days 04:05:06"})j")},
          // board_serial is root-only in /sys/class/dmi/id: the SMBIOS table supplies it.
          {"BIOS", json::parse(R"j({
      "boardManufacturer": "LENOVO", "boardName": "20KHCTO1WW",
      "boardSerialNumber": "L1HF8AB01ZT", "machineType": "Notebook",
      "biosName": "LENOVO N23ET59W (1.34 )", "biosManufacturer": "LENOVO",
      "biosVersion": "N23ET59W (1.34 )", "biosReleaseDate": "11/28/2018"})j")},
          {"Processor", json::parse(R"j({
      "name": "Intel(R) Core(TM) i7-8550U CPU @ 1.80GHz", "maxClockSpeed": 4000,
      "manufacturer": "GenuineIntel", "processorId": "BFEBFBFF000806EA",
      "description": "Intel64 Family 6 Model 142 Stepping 10", "slotName": "U3E1",
      "l2CacheKB": 256})j")},
          {"Memory", json::parse(R"j({"totalPhysicalMB": 15753, "totalPageFileMB": 8191})j")},
          // alice is logged on; the logon before hers was carol's, dave's came after it.
          {"Userinfo", json::parse(R"j({"currentUser": "alice", "lastUser": "carol",
                                 "domainName": "lan"})j")},
          {"InputdeviceList", json::parse(R"j([
      {"caption": "AT Translated Set 2 keyboard", "deviceType": "Keyboard",
       "description": "PS/2 keyboard"},
      {"caption": "TPPS/2 Elan TrackPoint", "deviceType": "Pointing",
       "description": "PS/2 pointing device"},
      {"caption": "Logitech USB Receiver", "deviceType": "Pointing", "manufacturer": "Logitech",
       "description": "USB pointing device"}])j")},
          {"ModemList", json::parse(R"j([{"name": "Sierra Wireless EM7455",
                                   "deviceType": "External Modem"}])j")},
          {"MonitorList", json::parse(R"j([
      {"manufacturer": "Dell", "monitorType": "DELL U2415"},
      {"manufacturer": "LG Display", "monitorType": "LP140WF7-SPB1"}])j")},
          // lo and docker0 have no device behind them; addresses come only from the live machine.
          {"NetworkadapterList", json::parse(R"j([
      {"description": "Ethernet Connection (4) I219-LM", "adapterType": "Ethernet 802.3",
       "macAddress": "54:E1:AD:12:34:56"},
      {"description": "Wireless 8265 / 8275", "adapterType": "Wireless 802.11",
       "macAddress": "A4:34:D9:AB:CD:EF"}])j")},
          {"PrinterList", nullptr},
          // loop0 and zram0 are left out.
          {"StorageList", json::parse(R"j([
      {"name": "/dev/nvme0n1", "mediaType": "Fixed\thard disk media",
       "manufacturer": "Samsung Electronics Co Ltd", "model": "SAMSUNG MZVLB512HAJQ-000L7",
       "sizeMB": 488386, "description": "NVMe disk drive"},
      {"name": "/dev/sda", "mediaType": "Removable media", "manufacturer": "SanDisk",
       "model": "Ultra Fit", "sizeMB": 29328, "description": "USB disk drive"}])j")},
          {"SystemcontrollerList", json::parse(R"j([
      {"name": "Xeon E3-1200 v6/7th Gen Core Processor Host Bridge/DRAM Registers",
       "controllerType": "Host bridge", "manufacturer": "Intel Corporation"},
      {"name": "Sunrise Point-LP USB 3.0 xHCI Controller", "controllerType": "USB controller",
       "manufacturer": "Intel Corporation"},
      {"name": "NVMe SSD Controller SM981/PM981/PM983",
       "controllerType": "Non-Volatile memory controller",
       "manufacturer": "Samsung Electronics Co Ltd"}])j")},
          {"SystemslotList", json::parse(R"j([
      {"name": "J6B2", "smbiosString": "PCI Express Gen 3 x16, x16, In use"},
      {"name": "M.2 Slot", "smbiosString": "M.2 Socket 3 (Mechanical Key M), x4, Available"}])j")},
          // The first connected connector in name order is HDMI-A-1 with the 1920x1200 monitor.
          {"VideoadapterList", json::parse(R"j([
      {"name": "UHD Graphics 620", "videoProcessor": "UHD Graphics 620", "memoryMB": 256,
       "manufacturer": "Intel Corporation", "refreshRateHz": 60,
       "driverVersion": "6.1.0-18-amd64", "resolution": "1920 * 1200"}])j")},
          {"PhyMemoryList", json::parse(R"j([
      {"moduleName": "M471A1K43CB1-CRC", "description": "DDR4 SODIMM",
       "deviceLocator": "ChannelA-DIMM0", "capacityMB": 8192, "speedMHz": 2400,
       "manufacturer": "Samsung", "dataWidth": 64, "memoryType": "DDR4"}])j")},
      });
}

TEST(FixtureTest, ServerWithoutSmbiosTable) {
  ExpectRecords(
      kFixtures / "server",
      {
          {"OS", json::parse(R"j({
      "osName": "Rocky Linux 9.3 (Blue Onyx)", "osType": "Linux x86_64",
      "osVersion": "5.14.0-362.8.1.el9_3.x86_64",
      "osDescription": "Linux 5.14.0-362.8.1.el9_3.x86_64 #1 SMP PREEMPT_DYNAMIC Wed Nov 8 17:36:32 UTC 2023",
      "serialNumber": "7d0a1b2c3d4e4f5a8b9c0d1e2f3a4b5c",
      "computerName": "db01.corp.example.com", "upTime": "1 day 00:00:00"})j")},
          {"BIOS", json::parse(R"j({
      "boardManufacturer": "Supermicro", "boardName": "H11SSL-i",
      "machineType": "Rack Mount Chassis", "biosName": "American Megatrends Inc. 2.4",
      "biosManufacturer": "American Megatrends Inc.", "biosVersion": "2.4",
      "biosReleaseDate": "04/12/2022"})j")},
          // No cpufreq: the speed cpuinfo reports. No SMBIOS: no socket and no ID.
          {"Processor", json::parse(R"j({
      "name": "AMD EPYC 7302 16-Core Processor", "maxClockSpeed": 2994,
      "manufacturer": "AuthenticAMD", "description": "AMD64 Family 23 Model 49 Stepping 0",
      "l2CacheKB": 512})j")},
          {"Memory", json::parse(R"j({"totalPhysicalMB": 257658, "totalPageFileMB": 4095})j")},
          {"Userinfo", json::parse(R"j({"domainName": "corp.example.com"})j")},
          {"InputdeviceList", nullptr},
          {"ModemList", nullptr},
          {"MonitorList", nullptr},
          {"NetworkadapterList", json::parse(R"j([
      {"description": "I350 Gigabit Network Connection", "adapterType": "Ethernet 802.3",
       "macAddress": "3C:EC:EF:00:11:22"}])j")},
          {"PrinterList", nullptr},
          {"StorageList", json::parse(R"j([
      {"name": "/dev/sda", "mediaType": "Fixed\thard disk media", "model": "Samsung SSD 860",
       "sizeMB": 457862, "description": "SCSI disk drive"},
      {"name": "/dev/sdb", "mediaType": "Fixed\thard disk media", "model": "ST4000NM0035-1V4",
       "sizeMB": 3815447, "description": "SCSI disk drive"},
      {"name": "/dev/sr0", "mediaType": "CD-ROM", "manufacturer": "HL-DT-ST",
       "model": "DVDRAM GUD0N", "sizeMB": 0, "description": "CD-ROM drive"}])j")},
          // 1022:7901 is not in the fixture's database: the class names it.
          {"SystemcontrollerList", json::parse(R"j([
      {"name": "Starship/Matisse Root Complex", "controllerType": "Host bridge",
       "manufacturer": "Advanced Micro Devices, Inc. [AMD]"},
      {"name": "SATA controller", "controllerType": "SATA controller",
       "manufacturer": "Advanced Micro Devices, Inc. [AMD]"}])j")},
          {"SystemslotList", nullptr},
          {"VideoadapterList", json::parse(R"j([
      {"name": "G200eR2", "videoProcessor": "G200eR2",
       "manufacturer": "Matrox Electronics Systems Ltd."}])j")},
          // udev's copy of the table: the absent DIMMB1 is left out, "Unknown" is no maker.
          {"PhyMemoryList", json::parse(R"j([
      {"moduleName": "36ASF8G72PZ-3G2E1", "description": "DDR4 DIMM", "deviceLocator": "DIMMA1",
       "capacityMB": 65536, "speedMHz": 3200, "manufacturer": "Micron Technology",
       "dataWidth": 64, "memoryType": "DDR4"},
      {"description": "DDR4", "deviceLocator": "DIMMC1", "capacityMB": 65536,
       "memoryType": "DDR4"}])j")},
      });
}

TEST(FixtureTest, BareContainer) {
  ExpectRecords(kFixtures / "container",
                {
                    {"OS", json::parse(R"j({
      "osName": "Alpine Linux v3.19", "osType": "Linux x86_64", "osVersion": "6.5.0-1014-azure",
      "osDescription": "Linux 6.5.0-1014-azure #14~22.04.1-Ubuntu SMP Thu Jan 18 2024",
      "computerName": "4f2a9c1d7e3b", "upTime": "0 days 00:00:59"})j")},
                    {"Processor", json::parse(R"j({
      "name": "Intel(R) Xeon(R) Platinum 8272CL CPU @ 2.60GHz", "maxClockSpeed": 2593,
      "manufacturer": "GenuineIntel"})j")},
                    {"Memory", json::parse(R"j({"totalPhysicalMB": 7961, "totalPageFileMB": 0})j")},
                });
  // Everything else is absent, the veth interface included.
  for (const char* key :
       {"BIOS", "Userinfo", "InputdeviceList", "ModemList", "MonitorList", "NetworkadapterList",
        "PrinterList", "StorageList", "SystemcontrollerList", "SystemslotList", "VideoadapterList",
        "PhyMemoryList"}) {
    SCOPED_TRACE(key);
    EXPECT_TRUE(ProbeMachine(key, kFixtures / "container").is_null());
  }
}

// Why each fixture's records and fields are empty, one data file per fixture.
TEST(FixtureTest, ReasonsForWhatIsEmpty) {
  for (const std::string fixture : {"laptop", "server", "container"}) {
    SCOPED_TRACE(fixture);
    std::ifstream file(kFixtures / ("reasons-" + fixture + ".json"));
    const json expected = json::parse(file);
    for (const auto& [key, reasons] : expected.items()) {
      SCOPED_TRACE(key);
      EXPECT_EQ(ExplainMachine(key, kFixtures / fixture), reasons);
    }
  }
  EXPECT_TRUE(ExplainMachine("Os", kFixtures / "laptop").is_null());
}

TEST(FixtureTest, MissingRootAndUnknownKeysGiveNull) {
  const fs::path nowhere = kFixtures / "no-such-machine";
  for (const char* key :
       {"OS", "BIOS", "Processor", "Memory", "Userinfo", "InputdeviceList", "ModemList",
        "MonitorList", "NetworkadapterList", "PrinterList", "StorageList", "SystemcontrollerList",
        "SystemslotList", "VideoadapterList", "PhyMemoryList"}) {
    SCOPED_TRACE(key);
    EXPECT_TRUE(ProbeMachine(key, nowhere).is_null());
  }
  EXPECT_TRUE(ProbeMachine("Os", kFixtures / "laptop").is_null());
  EXPECT_TRUE(ProbeMachine("", kFixtures / "laptop").is_null());
}

// A scratch copy of a fixture tree, removed again at the end of the test.
class ScratchTree {
 public:
  explicit ScratchTree(const fs::path& from)
      : root_(fs::temp_directory_path() /
              ("probe-test-" + std::to_string(::getpid()) + "-" + from.filename().string())) {
    fs::remove_all(root_);
    fs::copy(from, root_, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  }
  ~ScratchTree() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  const fs::path& Root() const { return root_; }
  // Puts a FIFO where the file `path` was: opening it for reading would block a careless reader.
  void ReplaceWithFifo(const std::string& path) const {
    fs::remove(root_ / path);
    ASSERT_EQ(::mkfifo((root_ / path).c_str(), 0600), 0);
  }

 private:
  fs::path root_;
};

TEST(FixtureTest, EachFieldIsReadOnItsOwn) {
  const ScratchTree tree(kFixtures / "laptop");
  tree.ReplaceWithFifo("sys/class/dmi/id/board_name");
  tree.ReplaceWithFifo("sys/class/dmi/id/bios_date");
  tree.ReplaceWithFifo("proc/sys/kernel/hostname");
  tree.ReplaceWithFifo("proc/meminfo");
  fs::remove(tree.Root() / "sys/firmware/dmi/tables/DMI");

  const json bios = ProbeMachine("BIOS", tree.Root());
  EXPECT_FALSE(bios.contains("boardName"));
  EXPECT_FALSE(bios.contains("biosReleaseDate"));
  EXPECT_FALSE(bios.contains("boardSerialNumber"));  // the table is gone too
  EXPECT_EQ(bios.value("boardManufacturer", ""), "LENOVO");
  EXPECT_EQ(bios.value("machineType", ""), "Notebook");

  const json os = ProbeMachine("OS", tree.Root());
  EXPECT_EQ(os.value("computerName", "none"), "none");  // /etc/hostname is no fallback here
  EXPECT_EQ(os.value("osVersion", ""), "6.1.0-18-amd64");

  EXPECT_TRUE(ProbeMachine("Memory", tree.Root()).is_null());
  const json processor = ProbeMachine("Processor", tree.Root());
  EXPECT_FALSE(processor.contains("slotName"));
  EXPECT_EQ(processor.value("maxClockSpeed", 0), 4000);
}

TEST(FixtureTest, NetworkAddressesComeThroughTheirSeam) {
  probe::AddressTable addresses;
  addresses["wlp2s0"] = {{"192.168.1.23", "fe80::1"}, {"255.255.255.0", "64"}};
  const json list = probe::BuildNetworkadapterList(kFixtures / "laptop", addresses);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_FALSE(list[0].contains("ipAddress"));
  EXPECT_EQ(list[1]["ipAddress"], "192.168.1.23, fe80::1");
  EXPECT_EQ(list[1]["subnetMask"], "255.255.255.0, 64");
}

bool CupsLoaded() {
  void* handle = ::dlopen("libcups.so.2", RTLD_NOW | RTLD_NOLOAD);
  if (handle) ::dlclose(handle);
  return handle != nullptr;
}

TEST(PrinterTest, NoSchedulerMeansNoWaitAndNoLibrary) {
  EXPECT_FALSE(probe::FindSchedulerSocket(kFixtures / "laptop"));
  EXPECT_TRUE(ProbeMachine("PrinterList", kFixtures / "laptop").is_null());
  EXPECT_FALSE(CupsLoaded());
}

TEST(PrinterTest, SocketNobodyListensOnGivesNullAtOnce) {
  const ScratchTree tree(kFixtures / "container");
  fs::create_directories(tree.Root() / "run/cups");
  const std::string path = (tree.Root() / "run/cups/cups.sock").string();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.size(), sizeof address.sun_path);
  path.copy(address.sun_path, path.size());
  // Bound but not listening: a scheduler that died and left its socket behind.
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

  EXPECT_EQ(probe::FindSchedulerSocket(tree.Root()), fs::path(path));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(ProbeMachine("PrinterList", tree.Root()).is_null());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  ::close(fd);
}

}  // namespace
}  // namespace harnel
