// OCS Inventory's document from small profiles, the text it escapes, and the device id the
// server takes.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fleet/ocs_document.h"
#include "fleet/ocs_exchange.h"
#include "fleet/xml_text.h"
#include "tests/support/case_file.h"

namespace velmora::fleet {
namespace {

using Json = nlohmann::json;

std::string Document(const Json& profile, const std::string& tag = "") {
  return OcsDocument(profile, {"pc-2020-01-02-03-04-05", "Velmora test", tag});
}

// "<name>" or "</name>", appended rather than summed from a literal, which GCC 12 misreads at -O3.
std::string Tag(std::string_view name, bool end = false) {
  std::string tag(end ? "</" : "<");
  return tag.append(name).append(">");
}

// The server's pattern for device ids, .+-\d{4}(-\d{2}){5}, checked by hand: std::regex trips
// GCC 12's uninitialized-use warning in the sanitized build.
bool TakenByServer(std::string_view id) {
  constexpr std::string_view kShape = "-0000-00-00-00-00-00";
  if (id.size() <= kShape.size()) return false;
  const std::string_view stamp = id.substr(id.size() - kShape.size());
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    const bool digit = stamp[i] >= '0' && stamp[i] <= '9';
    if (kShape[i] == '-' ? stamp[i] != '-' : !digit) return false;
  }
  return true;
}

// The text between the n-th (from 0) "<name>" and its "</name>", or "(none)".
std::string Nth(const std::string& xml, const std::string& name, int n) {
  std::size_t at = 0;
  for (int i = 0; i <= n; ++i) {
    at = xml.find(Tag(name), i == 0 ? 0 : at + 1);
    if (at == std::string::npos) return "(none)";
  }
  const std::size_t start = at + name.size() + 2;
  return xml.substr(start, xml.find(Tag(name, true), start) - start);
}

TEST(XmlTextTest, EscapesMarkupAndReplacesWhatXmlCannotHold) {
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "xml_escaped.txt", 2)) {
    SCOPED_TRACE(row.where);
    EXPECT_EQ(XmlEscaped(row.Bytes(0)), row.Bytes(1));
  }
}

TEST(OcsDocumentTest, ShapedAsTheServerReadsIt) {
  const Json profile = {
      {"OS", {{"computerName", "pc<1>"}, {"osName", "Debian & co"}}},
      {"Memory", {{"totalPhysicalMB", 16000}, {"totalPageFileMB", 0}}},
      {"Processor", {{"name", "Xeon"}, {"maxClockSpeed", 2400}}},
      {"Machine",
       {{"System", {{"uuid", "U-1"}, {"serial", "S-1"}}}, {"Processor", {{"packages", 2}}}}},
  };
  const std::string xml = Document(profile, "paris & co");
  EXPECT_TRUE(xml.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<REQUEST>\n"));
  EXPECT_TRUE(
      xml.ends_with("  <DEVICEID>pc-2020-01-02-03-04-05</DEVICEID>\n"
                    "  <QUERY>INVENTORY</QUERY>\n</REQUEST>\n"));
  EXPECT_EQ(Nth(xml, "NAME", 0), "pc&lt;1&gt;");
  EXPECT_EQ(Nth(xml, "OSNAME", 0), "Debian &amp; co");
  EXPECT_EQ(Nth(xml, "MEMORY", 0), "16000");
  EXPECT_EQ(Nth(xml, "SWAP", 0), "(none)");  // zero is no value
  EXPECT_EQ(Nth(xml, "PROCESSORN", 0), "2");
  EXPECT_EQ(Nth(xml, "UUID", 0), "U-1");
  EXPECT_EQ(Nth(xml, "SSN", 0), "S-1");
  EXPECT_EQ(Nth(xml, "CHECKSUM", 0), "67108863");
  // One CPUS per package, each the processor.
  EXPECT_EQ(Nth(xml, "CPUS", 1), Nth(xml, "CPUS", 0));
  EXPECT_EQ(Nth(xml, "CPUS", 2), "(none)");
  EXPECT_EQ(Nth(xml, "KEYNAME", 0), "TAG");
  EXPECT_EQ(Nth(xml, "KEYVALUE", 0), "paris &amp; co");
  EXPECT_EQ(Nth(xml, "VERSIONCLIENT", 0), "Velmora test");
  EXPECT_LT(xml.find("</CONTENT>"), xml.find("<DEVICEID>"));
  EXPECT_EQ(XmlElementText(xml, "OSNAME"), "Debian & co");
}

TEST(OcsDocumentTest, HardwareAlwaysSectionsOnlyWithAValue) {
  const std::string xml = Document(Json::object());
  EXPECT_NE(xml.find("<HARDWARE>\n      <CHECKSUM>67108863</CHECKSUM>\n    </HARDWARE>"),
            std::string::npos);
  for (const char* section : {"BIOS", "CPUS", "MEMORIES", "STORAGES", "NETWORKS", "ACCOUNTINFO"}) {
    SCOPED_TRACE(section);
    EXPECT_EQ(xml.find(Tag(section)), std::string::npos);
  }
}

TEST(OcsDocumentTest, AdaptersOneEntryPerAddressIpv4Only) {
  const Json profile = {
      {"NetworkadapterList",
       {{{"description", "Intel"},
         {"adapterType", "Wireless 802.11"},
         {"macAddress", "00:11:22:33:44:55"},
         {"ipAddress", "192.168.1.23, fe80::1%wlan0"},
         {"subnetMask", "255.255.255.0, 64"}}}},
  };
  const std::string xml = Document(profile);
  EXPECT_EQ(Nth(xml, "IPADDRESS", 0), "192.168.1.23");
  EXPECT_EQ(Nth(xml, "IPMASK", 0), "255.255.255.0");
  EXPECT_EQ(Nth(xml, "IPSUBNET", 0), "192.168.1.0");
  EXPECT_EQ(Nth(xml, "IPADDRESS", 1), "(none)");
  EXPECT_EQ(Nth(xml, "TYPE", 1), "wifi");
  EXPECT_EQ(Nth(xml, "MACADDR", 1), "00:11:22:33:44:55");
  EXPECT_EQ(Nth(xml, "NETWORKS", 2), "(none)");
}

TEST(OcsDocumentTest, DeviceIdIsStableForAMachineAndTakenByTheServer) {
  const Json a = {{"OS", {{"computerName", "pc1"}}},
                  {"Machine", {{"System", {{"uuid", "9C1E5A2B-4F7D"}}}}}};
  Json b = a;
  b["Machine"]["System"]["uuid"] = "9C1E5A2B-4F7E";
  Json renamed = a;
  renamed["OS"]["computerName"] = "pc2";
  const std::string id = OcsDeviceId(a);
  EXPECT_TRUE(TakenByServer(id)) << id;
  EXPECT_TRUE(id.starts_with("pc1-20"));
  EXPECT_EQ(OcsDeviceId(a), id);
  EXPECT_NE(OcsDeviceId(b), id);
  EXPECT_EQ(OcsDeviceId(renamed).substr(4), id.substr(4));  // the stamp follows the UUID
  const std::string unknown = OcsDeviceId(Json::object());
  EXPECT_TRUE(TakenByServer(unknown)) << unknown;
  EXPECT_FALSE(TakenByServer("-2020-01-02-03-04-05"));
  EXPECT_FALSE(TakenByServer("pc-2020-01-02-03-04-5x"));
  EXPECT_TRUE(unknown.starts_with("unknown-"));
  EXPECT_EQ(Document(a).find("<DEVICEID>pc-2020"), Document(a).rfind("<DEVICEID>"));
}

}  // namespace
}  // namespace velmora::fleet
