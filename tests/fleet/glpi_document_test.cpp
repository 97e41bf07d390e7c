// The fleet inventory document from small profiles: where entries come from and which rows win.
// That every source the tables name is a field the profile's schema holds is checked where the
// tables are compiled.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fleet/glpi_document.h"

namespace velmora::fleet {
namespace {

using Json = nlohmann::json;

Json Content(const Json& profile) {
  return Json::parse(GlpiDocument(profile, {"dev-1", "velmora-test", std::nullopt, ""}).dump())
      .at("content");
}

TEST(GlpiDocumentTest, EachAddressOfAnAdapterIsAnEntry) {
  const Json profile = {
      {"NetworkadapterList",
       {{{"description", "Intel I219-LM"},
         {"adapterType", "Ethernet 802.3"},
         {"ipAddress", "192.168.1.23, fe80::1%eth0, 10.0.0.5, fe80::2%eth0"},
         {"subnetMask", "255.255.252.0, 64"}},
        {{"description", "Loopback"}, {"adapterType", "Loopback"}},
        {{"adapterType", "Ethernet 802.3"}, {"ipAddress", "10.9.9.9"}}}},
      {"Machine", {{"NetworkadapterList", {{{"interfaceName", "eth0"}, {"mtu", 1500}}}}}},
  };
  const Json expected = Json::parse(R"([
    {"description": "eth0", "ipaddress": "192.168.1.23", "ipmask": "255.255.252.0",
     "ipsubnet": "192.168.0.0", "type": "ethernet", "mtu": 1500},
    {"description": "eth0", "ipaddress6": "fe80::1", "type": "ethernet", "mtu": 1500},
    {"description": "eth0", "ipaddress": "10.0.0.5", "type": "ethernet", "mtu": 1500},
    {"description": "eth0", "ipaddress6": "fe80::2", "type": "ethernet", "mtu": 1500},
    {"description": "Loopback", "type": "loopback"}
  ])");
  EXPECT_EQ(Content(profile).at("networks"), expected);
}

TEST(GlpiDocumentTest, OneProcessorEntryPerPackage) {
  const struct {
    Json packages;
    std::size_t entries;
  } cases[] = {{2, 2}, {64, 64}, {65, 1}, {0, 1}, {-2, 1}, {"2", 1}, {nullptr, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.packages.dump());
    const Json profile = {
        {"Processor", {{"name", "Xeon"}, {"description", "Intel64 Family 6"}}},
        {"Machine", {{"Processor", {{"packages", c.packages}, {"cores", 8}, {"threads", 16}}}}},
    };
    const Json cpus = Content(profile).at("cpus");
    ASSERT_EQ(cpus.size(), c.entries);
    EXPECT_EQ(cpus[0], Json::parse(R"({"name": "Xeon", "description": "Intel64 Family 6",
                                       "core": 8, "thread": 2, "arch": "x86_64"})"));
  }
}

TEST(GlpiDocumentTest, TheMachineKeyFillsBesideTheRecords) {
  const Json profile = Json::parse(R"({
    "OS": {"computerName": "WS-1", "osType": "Linux x86_64", "osName": "Debian 12"},
    "Userinfo": {"currentUser": "", "lastUser": "CORP\\bob"},
    "StorageList": [{"name": "sda", "mediaType": "Fixed hard disk media"},
                    {"name": "sr0", "mediaType": "CD-ROM"}],
    "MonitorList": [{"monitorType": "DELL U2720Q"}],
    "PrinterList": [{"model": "no name"}],
    "InputdeviceList": [{"caption": ""}, {"caption": "Keyboard"}],
    "Machine": {
      "System": {"uuid": "4C4C-1", "virtualization": "kvm"},
      "StorageList": [{"interface": "SAS", "serialNumber": "S1"}, {"interface": "VIRTIO"}],
      "MonitorList": [{"manufactureWeek": 12, "manufactureYear": 2022}]
    }})");
  const Json content = Content(profile);
  EXPECT_EQ(content.at("hardware"), Json::parse(R"({"name": "WS-1", "uuid": "4C4C-1",
                                                    "vmsystem": "kvm", "lastloggeduser": "bob"})"));
  EXPECT_EQ(content.at("operatingsystem"),
            Json::parse(R"({"full_name": "Debian 12", "kernel_name": "linux", "arch": "x86_64"})"));
  EXPECT_EQ(content.at("storages"), Json::parse(R"([
    {"name": "sda", "type": "disk", "serial": "S1", "interface": "SAS"},
    {"name": "sr0", "type": "cdrom"}])"));
  EXPECT_EQ(content.at("monitors"), Json::parse(R"([{"caption": "DELL U2720Q",
    "name": "DELL U2720Q", "description": "12/2022"}])"));
  // An entry that gives nothing is left out, and the next one kept.
  EXPECT_EQ(content.at("inputs"), Json::parse(R"([{"name": "Keyboard", "caption": "Keyboard"}])"));
  EXPECT_FALSE(content.contains("printers"));  // an entry without its required field is left out
  EXPECT_FALSE(content.contains("bios"));      // and a section without any value
  EXPECT_EQ(content.at("versionclient"), "velmora-test");
}

TEST(GlpiDocumentTest, DefaultDeviceIdJoinsNameAndUuid) {
  const struct {
    Json name, uuid;
    std::string expected;
  } cases[] = {
      {"WS-1", "4C4C-1", "WS-1-4C4C-1"},
      {"WS-1", nullptr, "WS-1"},
      {"", "4C4C-1", "4C4C-1"},
      {nullptr, "", "unknown"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    const Json profile = {{"OS", {{"computerName", c.name}}},
                          {"Machine", {{"System", {{"uuid", c.uuid}}}}}};
    EXPECT_EQ(DefaultDeviceId(profile), c.expected);
    EXPECT_EQ(GlpiDocument(profile, {}).at("deviceid"), c.expected);
  }
}

}  // namespace
}  // namespace velmora::fleet
