// Each conversion of the fleet inventory tables, row by row with edge values.
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "fleet/glpi_values.h"

namespace velmora::fleet {
namespace {

using Json = nlohmann::json;
using enum GlpiValue;

struct Case {
  GlpiValue kind;
  Json value;
  Json with;             // the second source, null for conversions of one value
  std::string expected;  // the converted value's JSON text; empty: none
};

void Check(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << static_cast<int>(c.kind) << " " << c.value.dump() << " " << c.with.dump());
    const auto converted = GlpiConvert(c.kind, c.value, c.with, std::nullopt);
    EXPECT_EQ(converted ? converted->dump() : std::string(), c.expected);
  }
}

TEST(GlpiValuesTest, DatesTakeThreeFormsAndRefuseWhatNoCalendarHas) {
  Check({
      {GlpiDate, "12/25/2019", nullptr, R"("2019-12-25")"},
      {GlpiDate, "01/31/2023", nullptr, R"("2023-01-31")"},
      {GlpiDate, "2021-06-30", nullptr, R"("2021-06-30")"},
      // Two-digit years: 70 and later are of the last century, the others of this one.
      {GlpiDate, "03/04/69", nullptr, R"("2069-03-04")"},
      {GlpiDate, "03/04/70", nullptr, R"("1970-03-04")"},
      {GlpiDate, "03/04/99", nullptr, R"("1999-03-04")"},
      {GlpiDate, "03/04/00", nullptr, R"("2000-03-04")"},
      {GlpiDate, "03/04/09", nullptr, R"("2009-03-04")"},
      {GlpiDate, "13/01/2019", nullptr, ""},
      {GlpiDate, "00/10/2019", nullptr, ""},
      {GlpiDate, "12/32/2019", nullptr, ""},
      {GlpiDate, "12/00/2019", nullptr, ""},
      {GlpiDate, "2021-13-01", nullptr, ""},
      {GlpiDate, "2021-00-10", nullptr, ""},
      {GlpiDate, "2021-12-32", nullptr, ""},
      {GlpiDate, "2021-12-00", nullptr, ""},
      {GlpiDate, "2021-6-30", nullptr, ""},
      {GlpiDate, "1/2/2019", nullptr, ""},
      {GlpiDate, "12-25-2019", nullptr, ""},
      {GlpiDate, "01-02/2019", nullptr, ""},
      {GlpiDate, "ab/cd/efgh", nullptr, ""},
      {GlpiDate, "12/25/201x", nullptr, ""},
      {GlpiDate, "", nullptr, ""},
      {GlpiDate, 20191225, nullptr, ""},
  });
}

TEST(GlpiValuesTest, NumbersAreIntegersOtherThanZero) {
  Check({
      {GlpiNumber, 16384, nullptr, "16384"},
      {GlpiNumber, 1, nullptr, "1"},
      {GlpiNumber, -1, nullptr, "-1"},
      {GlpiNumber, 0, nullptr, ""},
      {GlpiNumber, 2.5, nullptr, ""},
      {GlpiNumber, "16", nullptr, ""},
      {GlpiNumber, nullptr, nullptr, ""},
      {GlpiNumberText, 3200, nullptr, R"("3200")"},
      {GlpiNumberText, 0, nullptr, ""},
      {GlpiNumberText, 2.5, nullptr, ""},
      {GlpiNumberText, "3200", nullptr, ""},
      {GlpiText, "as it stands", nullptr, R"("as it stands")"},
      {GlpiText, "", nullptr, ""},
      {GlpiText, 5, nullptr, ""},
  });
}

TEST(GlpiValuesTest, KindsAreTheFormatsOwn) {
  Check({
      {GlpiStorageBus, "SATA", nullptr, R"("SATA")"},
      {GlpiStorageBus, "NVME", nullptr, R"("NVME")"},
      {GlpiStorageBus, "USB", nullptr, R"("USB")"},
      {GlpiStorageBus, "IDE", nullptr, R"("IDE")"},
      {GlpiStorageBus, "SCSI", nullptr, R"("SCSI")"},
      {GlpiStorageBus, "SAS", nullptr, R"("SAS")"},
      {GlpiStorageBus, "VIRTIO", nullptr, ""},
      {GlpiStorageBus, "MMC", nullptr, ""},
      {GlpiStorageBus, "sata", nullptr, ""},
      {GlpiStorageKind, "CD-ROM", nullptr, R"("cdrom")"},
      {GlpiStorageKind, "Fixed hard disk media", nullptr, R"("disk")"},
      {GlpiStorageKind, "", nullptr, ""},
      {GlpiNetworkKind, "ethernet", nullptr, R"("ethernet")"},
      {GlpiNetworkKind, "wifi", nullptr, R"("wifi")"},
      {GlpiNetworkKind, "infiniband", nullptr, R"("infiniband")"},
      {GlpiNetworkKind, "aggregate", nullptr, R"("aggregate")"},
      {GlpiNetworkKind, "alias", nullptr, R"("alias")"},
      {GlpiNetworkKind, "dialup", nullptr, R"("dialup")"},
      {GlpiNetworkKind, "loopback", nullptr, R"("loopback")"},
      {GlpiNetworkKind, "bridge", nullptr, R"("bridge")"},
      {GlpiNetworkKind, "fibrechannel", nullptr, R"("fibrechannel")"},
      {GlpiNetworkKind, "bluetooth", nullptr, R"("bluetooth")"},
      {GlpiNetworkKind, "wwan", nullptr, ""},
      {GlpiNetworkKind, "Ethernet", nullptr, ""},
      {GlpiAdapterKind, "Ethernet 802.3", nullptr, R"("ethernet")"},
      {GlpiAdapterKind, "Wireless 802.11", nullptr, R"("wifi")"},
      {GlpiAdapterKind, "InfiniBand", nullptr, R"("infiniband")"},
      {GlpiAdapterKind, "PPP", nullptr, R"("dialup")"},
      {GlpiAdapterKind, "Loopback", nullptr, R"("loopback")"},
      {GlpiAdapterKind, "Bridge", nullptr, R"("bridge")"},
      {GlpiAdapterKind, "Fibre Channel", nullptr, R"("fibrechannel")"},
      {GlpiAdapterKind, "Bluetooth PAN", nullptr, R"("bluetooth")"},
      {GlpiAdapterKind, "Token Ring 802.5", nullptr, ""},
      {GlpiAdapterKind, "ethernet", nullptr, ""},
      {GlpiNetworkStatus, "up", nullptr, R"("up")"},
      {GlpiNetworkStatus, "down", nullptr, R"("down")"},
      {GlpiNetworkStatus, "dormant", nullptr, R"("dormant")"},
      {GlpiNetworkStatus, "notpresent", nullptr, R"("notpresent")"},
      {GlpiNetworkStatus, "lowerlayerdown", nullptr, R"("lowerlayerdown")"},
      {GlpiNetworkStatus, "unknown", nullptr, R"("unknown")"},
      {GlpiNetworkStatus, "testing", nullptr, R"("testing")"},
      {GlpiNetworkStatus, "Up", nullptr, ""},
      {GlpiSlotStatus, "PCI Express x16, In use", nullptr, R"("used")"},
      {GlpiSlotStatus, "PCI Express x1, Available", nullptr, R"("free")"},
      {GlpiSlotStatus, "PCI Express x1, Unknown", nullptr, ""},
      {GlpiSlotStatus, "In use, PCI", nullptr, ""},
  });
}

TEST(GlpiValuesTest, SystemsArchitecturesAndUsers) {
  Check({
      {GlpiKernelName, "Linux x86_64", nullptr, R"("linux")"},
      {GlpiKernelName, "Microsoft Windows 11 Pro", nullptr, R"("win32")"},
      {GlpiKernelName, "FreeBSD amd64", nullptr, ""},
      {GlpiKernelName, "GNU/Linux", nullptr, ""},
      {GlpiSystemArch, "Linux x86_64", nullptr, R"("x86_64")"},
      {GlpiSystemArch, "Linux aarch64", nullptr, R"("aarch64")"},
      {GlpiSystemArch, "Linux armv7l", nullptr, R"("armv7l")"},
      {GlpiSystemArch, "Linux i686", nullptr, R"("i686")"},
      {GlpiSystemArch, "x86_64", nullptr, R"("x86_64")"},
      {GlpiSystemArch, "Linux i386", nullptr, R"("i386")"},
      {GlpiSystemArch, "Linux i486", nullptr, R"("i486")"},
      {GlpiSystemArch, "Linux i586", nullptr, R"("i586")"},
      {GlpiSystemArch, "Linux mips64", nullptr, R"("mips64")"},
      {GlpiSystemArch, "Linux alpha", nullptr, R"("alpha")"},
      {GlpiSystemArch, "Linux sparc64", nullptr, R"("sparc64")"},
      {GlpiSystemArch, "Linux m68k", nullptr, R"("m68k")"},
      {GlpiSystemArch, "Linux powerpc", nullptr, R"("powerpc")"},
      {GlpiSystemArch, "Linux riscv64", nullptr, ""},
      {GlpiSystemArch, "x86_64 Linux", nullptr, ""},
      {GlpiProcessorArch, "Intel64 Family 6 Model 154 Stepping 3", nullptr, R"("x86_64")"},
      {GlpiProcessorArch, "AMD64 Family 25 Model 33", nullptr, R"("x86_64")"},
      {GlpiProcessorArch, "x64 Family 6", nullptr, R"("x86_64")"},
      {GlpiProcessorArch, "x86 Family 6 Model 15", nullptr, R"("i686")"},
      {GlpiProcessorArch, "Intel64", nullptr, ""},
      {GlpiProcessorArch, "ARMv8 (64-bit) Family 8", nullptr, ""},
      {GlpiLogin, "CORP\\alice", nullptr, R"("alice")"},
      {GlpiLogin, "alice", nullptr, R"("alice")"},
      {GlpiLogin, "CORP\\", nullptr, ""},
      {GlpiDomain, "CORP\\alice", nullptr, R"("CORP")"},
      {GlpiDomain, "alice", nullptr, ""},
      {GlpiDomain, "\\alice", nullptr, ""},
      {GlpiResolution, "1920 * 1080", nullptr, R"("1920x1080")"},
      {GlpiResolution, "1920x1080", nullptr, ""},
  });
}

TEST(GlpiValuesTest, ConversionsOfTwoValues) {
  Check({
      {GlpiThreadsPerCore, 16, 8, "2"},
      {GlpiThreadsPerCore, 8, 8, "1"},
      // Hybrid processors: performance cores with two threads beside efficient ones with one.
      {GlpiThreadsPerCore, 20, 14, "2"},
      {GlpiThreadsPerCore, 17, 16, "2"},
      {GlpiThreadsPerCore, 4, 8, ""},
      {GlpiThreadsPerCore, 0, 8, ""},
      {GlpiThreadsPerCore, 8, 0, ""},
      {GlpiThreadsPerCore, -8, -4, ""},
      {GlpiThreadsPerCore, 8, nullptr, ""},
      {GlpiThreadsPerCore, "8", 4, ""},
      {GlpiManufactureDate, 12, 2022, R"("12/2022")"},
      {GlpiManufactureDate, 1, 1999, R"("1/1999")"},
      {GlpiManufactureDate, 0, 2022, R"("2022")"},
      {GlpiManufactureDate, nullptr, 2022, R"("2022")"},
      {GlpiManufactureDate, 12, 0, ""},
      {GlpiManufactureDate, 12, nullptr, ""},
      {GlpiManufactureDate, 12, -1, ""},
  });
}

TEST(GlpiValuesTest, AddressesSplitIntoTheirFamilies) {
  Check({
      {GlpiIpv4Address, "192.168.1.23", nullptr, R"("192.168.1.23")"},
      {GlpiIpv4Address, "fe80::1", nullptr, ""},
      {GlpiIpv4Address, "", nullptr, ""},
      {GlpiIpv6Address, "fe80::1%eth0", nullptr, R"("fe80::1")"},
      {GlpiIpv6Address, "fe80::a00:27ff:fe4e:66a1%12", nullptr, R"("fe80::a00:27ff:fe4e:66a1")"},
      {GlpiIpv6Address, "2001:db8::5", nullptr, R"("2001:db8::5")"},
      {GlpiIpv6Address, "192.168.1.23", nullptr, ""},
      {GlpiIpv6Address, "%eth0", nullptr, ""},
      {GlpiIpv4Subnet, "192.168.1.23", "255.255.252.0", R"("192.168.0.0")"},
      {GlpiIpv4Subnet, "10.1.2.3", "255.0.0.0", R"("10.0.0.0")"},
      {GlpiIpv4Subnet, "10.1.2.3", "255.255.255.255", R"("10.1.2.3")"},
      {GlpiIpv4Subnet, "10.1.2.3", "", ""},
      {GlpiIpv4Subnet, "10.1.2.3", nullptr, ""},
      {GlpiIpv4Subnet, "10.1.2.300", "255.0.0.0", ""},
      {GlpiIpv4Subnet, "10.1.2", "255.0.0.0", ""},
      {GlpiIpv4Subnet, "10.1.2.3.4", "255.0.0.0", ""},
      {GlpiIpv4Subnet, "10.1.2.3", "255.0.0.-1", ""},
      {GlpiIpv4Subnet, "fe80::1", "64", ""},
      {GlpiIpv4Mask, "255.255.252.0", "192.168.1.23", R"("255.255.252.0")"},
      {GlpiIpv4Mask, "255.255.252.0", "fe80::1", ""},
      {GlpiIpv4Mask, "64", "fe80::1", ""},
      {GlpiIpv4Mask, "255.255.252.0", nullptr, ""},
      {GlpiIpv4Mask, "", "192.168.1.23", ""},
  });
}

// The address and the mask are read within their views' bounds, not up to the next non-digit.
TEST(GlpiValuesTest, SubnetReadsOnlyTheViewsGiven) {
  const std::string_view address = std::string_view("10.1.2.345").substr(0, 9);
  const std::string_view mask = std::string_view("255.255.255.2550").substr(0, 15);
  EXPECT_EQ(Ipv4Subnet(address, mask), "10.1.2.34");
}

// The start is the uptime before the time it was read at, in local time.
TEST(GlpiValuesTest, BootTimeIsTheUptimeBeforeTheReading) {
  const std::time_t now = 1'700'000'000;
  const auto localText = [](std::time_t at) {
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&at));
    return Json(std::string(text)).dump();
  };
  const struct {
    std::string uptime, expected;
  } cases[] = {
      {"3 days 04:05:06", localText(now - (((3 * 24 + 4) * 60 + 5) * 60 + 6))},
      {"1 day 00:00:09", localText(now - (24 * 3600 + 9))},
      {"0 days 23:59:59", localText(now - (24 * 3600 - 1))},
      {"04:05:06", ""},
      {"3 days 4:05:06", ""},
      {"x days 04:05:06", ""},
      {"3 days x4:05:06", ""},
      {"3 days 04:05:0x", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.uptime);
    const auto converted = GlpiConvert(GlpiBootTime, c.uptime, nullptr, now);
    EXPECT_EQ(converted ? converted->dump() : std::string(), c.expected);
  }
  EXPECT_FALSE(GlpiConvert(GlpiBootTime, "3 days 04:05:06", nullptr, std::nullopt));
}

}  // namespace
}  // namespace velmora::fleet
