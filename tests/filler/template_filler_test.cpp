#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/filler/filler_harness.h"
#include "tests/support/test_provider.h"

namespace {

using fillertest::CategoryIds;
using fillertest::CategoryNames;
using fillertest::Fill;
using fillertest::ItemValues;
using fillertest::WriteTemplate;
using testprovider::Log;
using testprovider::Provide;
using testprovider::Source;
using Strings = std::vector<std::string>;

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

std::string Doc(const std::string& body) { return kDeclaration + body; }

// Every test starts with a provider that has nothing and ends with every record released.
class FillerTest : public testing::Test {
 protected:
  void SetUp() override { testprovider::Reset(); }
  void TearDown() override {
    for (int s = 0; s < static_cast<int>(Source::Count); ++s) {
      SCOPED_TRACE(testing::Message() << "source " << s);
      EXPECT_EQ(Log(static_cast<Source>(s)).held, 0);
      EXPECT_EQ(Log(static_cast<Source>(s)).wrongFrees, 0);
    }
  }
  static int Gets(Source source) { return Log(source).gets; }
};

// Links an array of nodes into a list, in array order.
template <class Node, size_t N>
Node* Chain(Node (&nodes)[N]) {
  for (size_t i = 0; i + 1 < N; ++i) nodes[i].next = &nodes[i + 1];
  nodes[N - 1].next = nullptr;
  return &nodes[0];
}

TEST_F(FillerTest, CatalogueComesBackAsLoadedWithoutTheProvider) {
  const std::string list =
      Doc("<hardinfo>\n  <category code=\"5001\" name=\"操作系统\"/>\n</hardinfo>\n");
  WriteTemplate("list.xml", list);
  const auto result = Fill(0);
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(result.text, list);
  for (int s = 0; s < static_cast<int>(Source::Count); ++s)
    EXPECT_EQ(Gets(static_cast<Source>(s)), 0);
}

TEST_F(FillerTest, UnknownCategoriesSelectTheOtherTemplate) {
  WriteTemplate("other.xml", Doc("<other/>"));
  for (int category : {5007, 4999, 1, -1, 5000, 2147483647}) {
    SCOPED_TRACE(category);
    const auto result = Fill(category);
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.text, Doc("<other/>"));
  }
}

TEST_F(FillerTest, MissingOrIllFormedTemplateLeavesTheCallerStringAlone) {
  fillertest::RemoveTemplate("network.xml");
  auto result = Fill(5005, "keep me");
  EXPECT_EQ(result.code, -1);
  EXPECT_EQ(result.text, "keep me");

  const char* illFormed[] = {"<a/><b/>", "<a><b></a>", "", "   ", "<a></b></a>"};
  for (const char* text : illFormed) {
    SCOPED_TRACE(text);
    WriteTemplate("network.xml", text);
    result = Fill(5005, "keep me");
    EXPECT_EQ(result.code, -1);
    EXPECT_EQ(result.text, "keep me");
  }
  EXPECT_EQ(Gets(Source::Networkadapter), 0);
}

TEST_F(FillerTest, TemplateWithoutCategoriesOrRecordsIsReturnedUnchanged) {
  std::string text = Doc("<r>\n  <!-- nothing to fill -->\n  <group id=\"1\"/>\n</r>\n");
  WriteTemplate("control.xml", text);
  auto result = Fill(5006);
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(result.text, text);

  text =
      Doc("<os><category id=\"500102\"><item name=\"操作系统名称\" value=\"?\"/></category></os>");
  WriteTemplate("os.xml", text);
  result = Fill(5001);
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(result.text, text);
  EXPECT_EQ(Log(Source::OS).frees, 0);
}

// --- os.xml and bios.xml --------------------------------------------------------------

OSInfo SampleOs() {
  OSInfo os{};
  os.osName = WTEXT("Debian GNU/Linux");
  os.osType = WTEXT("Linux");
  os.osVersion = WTEXT("12");
  os.computerName = WTEXT("工作站-7");
  os.registeredUser = WTEXT("A & B <co> \"q\" 'x'");
  os.upTime = WTEXT("3 days");
  return os;  // servicePack, osDescription, registeredCompany, serialNumber stay null
}

TEST_F(FillerTest, OsTemplateFillsBothCategoriesInAnyOrder) {
  WriteTemplate("os.xml",
                Doc("<os>\n"
                    "  <category id=\"500102\">\n"
                    "    <item name=\"操作系统名称\" value=\"\"/>\n"
                    "    <item name=\"系统上最新服务包\" value=\"default\"/>\n"
                    "    <item name=\"系统运行时间\" value=\"\"/>\n"
                    "  </category>\n"
                    "  <category id=\"500101\">\n"
                    "    <item name=\"计算机名称\" value=\"\"/>\n"
                    "    <item name=\"注册用户名\"/>\n"
                    "    <item name=\"计算机名称\" value=\"\"/>\n"
                    "    <item name=\"计算机名称 \" value=\"\"/>\n"
                    "    <item name=\"操作系统名称\" value=\"\"/>\n"
                    "  </category>\n"
                    "  <category id=\"500201\"><item name=\"处理器名称\" value=\"\"/></category>\n"
                    "</os>\n"));
  const OSInfo os = SampleOs();
  Provide(Source::OS, &os);
  const auto result = Fill(5001);
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(CategoryIds(result.text), (Strings{"500102", "500101", "500201"}));
  // Only the category whose table holds the name fills it; a null field keeps the default.
  EXPECT_EQ(ItemValues(result.text, "操作系统名称"), (Strings{"Debian GNU/Linux", ""}));
  EXPECT_EQ(ItemValues(result.text, "系统上最新服务包"), Strings{"default"});
  EXPECT_EQ(ItemValues(result.text, "系统运行时间"), Strings{"3 days"});
  // Two items of one name both take the value; a name with a trailing blank is another name.
  EXPECT_EQ(ItemValues(result.text, "计算机名称"), (Strings{"工作站-7", "工作站-7"}));
  EXPECT_EQ(ItemValues(result.text, "计算机名称 "), Strings{""});
  // An item without a value gets one, escaped.
  EXPECT_NE(result.text.find("<item name=\"注册用户名\" value=\"A &amp; B &lt;co&gt; "
                             "&quot;q&quot; &apos;x&apos;\"/>"),
            std::string::npos);
  EXPECT_EQ(ItemValues(result.text, "处理器名称"), Strings{""});
  EXPECT_EQ(Gets(Source::OS), 1);
  EXPECT_EQ(Log(Source::OS).frees, 1);
}

TEST_F(FillerTest, OnlyDirectItemsOfDirectCategoriesAreFilledWithExactNames) {
  WriteTemplate("os.xml", Doc("<os><category id=\"500101\">"
                              "<item name=\"序列号\"><item name=\"序列号\" value=\"deep\"/></item>"
                              "<group><item name=\"序列号\" value=\"nested\"/></group>"
                              "</category>"
                              "<group><category id=\"500101\"><item name=\"序列号\" value=\"x\"/>"
                              "</category></group>"
                              "<Category id=\"500101\"><item name=\"序列号\" value=\"y\"/>"
                              "</Category></os>"));
  OSInfo os = SampleOs();
  os.serialNumber = WTEXT("SN-1");
  Provide(Source::OS, &os);
  const auto result = Fill(5001);
  ASSERT_EQ(result.code, 0);
  EXPECT_NE(result.text.find(
                "<item name=\"序列号\" value=\"SN-1\"><item name=\"序列号\" value=\"deep\"/>"),
            std::string::npos);
  EXPECT_EQ(ItemValues(result.text, "序列号"), (Strings{"SN-1", "deep", "nested", "x", "y"}));
}

BIOSInfo SampleBios() {
  BIOSInfo bios{};
  bios.boardManufacturer = WTEXT("Board Co");
  bios.boardName = WTEXT("B-1");
  bios.biosName = WTEXT("Firmware");
  bios.biosVersion = WTEXT("1.2.3");
  return bios;
}

const char* kBiosTemplate =
    "<bios>\n"
    "  <category id=\"500201\"><item name=\"处理器最快速度\" value=\"\"/>"
    "<item name=\"L2-Cache\" value=\"\"/><item name=\"处理器名称\" value=\"cpu?\"/></category>\n"
    "  <category id=\"500202\"><item name=\"主板名称\" value=\"\"/>"
    "<item name=\"BIOS名称\" value=\"\"/></category>\n"
    "  <category id=\"500203\"><item name=\"BIOS名称\" value=\"\"/>"
    "<item name=\"BIOS版本\" value=\"\"/></category>\n"
    "  <category id=\"500101\"><item name=\"计算机名称\" value=\"\"/></category>\n"
    "  <category id=\"500201\"><item name=\"处理器最快速度\" value=\"\"/></category>\n"
    "</bios>\n";

TEST_F(FillerTest, BiosTemplateFillsProcessorBoardAndBios) {
  WriteTemplate("bios.xml", Doc(kBiosTemplate));
  const BIOSInfo bios = SampleBios();
  ProcessorInfo cpu{};
  cpu.name = WTEXT("Example CPU");
  cpu.maxClockSpeed = -2400;
  cpu.l2CacheKB = 512;
  Provide(Source::BIOS, &bios);
  Provide(Source::Processor, &cpu);
  const auto result = Fill(5002);
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(ItemValues(result.text, "处理器最快速度"), (Strings{"-2400", "-2400"}));
  EXPECT_EQ(ItemValues(result.text, "L2-Cache"), Strings{"512 KB"});
  EXPECT_EQ(ItemValues(result.text, "处理器名称"), Strings{"Example CPU"});
  EXPECT_EQ(ItemValues(result.text, "主板名称"), Strings{"B-1"});
  // The BIOS name belongs to the BIOS category only; os.xml ids are not bios.xml ids.
  EXPECT_EQ(ItemValues(result.text, "BIOS名称"), (Strings{"", "Firmware"}));
  EXPECT_EQ(ItemValues(result.text, "计算机名称"), Strings{""});
  // The processor is fetched for every processor category, while the BIOS is held.
  EXPECT_EQ(Gets(Source::Processor), 2);
  EXPECT_EQ(Gets(Source::BIOS), 1);
}

TEST_F(FillerTest, BiosTemplateWithoutProcessorOrWithoutBios) {
  WriteTemplate("bios.xml", Doc(kBiosTemplate));
  const BIOSInfo bios = SampleBios();
  Provide(Source::BIOS, &bios);
  auto result = Fill(5002);
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(ItemValues(result.text, "处理器名称"), Strings{"cpu?"});
  EXPECT_EQ(ItemValues(result.text, "BIOS版本"), Strings{"1.2.3"});

  // Without the BIOS record nothing comes back and the processor is never asked for.
  testprovider::Reset();
  ProcessorInfo cpu{};
  Provide(Source::Processor, &cpu);
  result = Fill(5002, "previous");
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(result.text, "previous");
  EXPECT_EQ(Gets(Source::Processor), 0);
}

// --- storage.xml ----------------------------------------------------------------------

const char* kStorageTemplate =
    "<storage>\n"
    "  <category id=\"1\" name=\"内存\"><item name=\"物理内存总大小\" value=\"\"/>"
    "<item name=\"内存分页文件总大小\" value=\"\"/></category>\n"
    "  <category id=\"2\" name=\"内存条\"><item name=\"容量\" value=\"\"/>"
    "<item name=\"频率\" value=\"\"/><item name=\"数据字宽\" value=\"\"/>"
    "<item name=\"制造商\" value=\"tmpl\"/></category>\n"
    "  <category id=\"3\" name=\"存储设备\"><item name=\"设备名称\" value=\"\"/>"
    "<item name=\"总大小\" value=\"\"/></category>\n"
    "  <category id=\"9\" name=\"其他\"/>\n"
    "</storage>\n";

TEST_F(FillerTest, StorageTemplateExpandsModulesAndDevicesByType) {
  WriteTemplate("storage.xml", Doc(kStorageTemplate));
  const MemoryInfo memory{16384, 2048};
  PhyMemoryNode modules[2] = {};
  modules[0].capacityMB = 4096;
  modules[0].speedMHz = 1600;
  modules[0].dataWidth = 64;
  modules[0].manufacturer = WTEXT("Maker");
  modules[1].capacityMB = 8192;
  modules[1].speedMHz = 1600;
  StorageNode disks[4] = {};
  disks[0].name = WTEXT("disk0");
  disks[0].mediaType = WTEXT("Fixed\thard disk media");
  disks[0].sizeMB = 476940;
  disks[1].name = WTEXT("cd");
  disks[1].mediaType = WTEXT("CD-ROM");
  disks[2].name = WTEXT("usb");
  disks[2].mediaType = WTEXT("Fixed hard disk media");
  disks[3].name = WTEXT("mystery");
  Provide(Source::Memory, &memory);
  Provide(Source::PhyMemory, Chain(modules));
  Provide(Source::Storage, Chain(disks));
  const auto result = Fill(5003);
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(CategoryIds(result.text),
            (Strings{"500301", "500301", "500301", "500302", "500303", "0", "0", "9"}));
  EXPECT_EQ(CategoryNames(result.text),
            (Strings{"内存", "内存条", "内存条", "磁盘驱动器", "光盘驱动器", "", "", "其他"}));
  EXPECT_EQ(ItemValues(result.text, "物理内存总大小"), Strings{"16384 MB"});
  EXPECT_EQ(ItemValues(result.text, "内存分页文件总大小"), Strings{"2048 MB"});
  EXPECT_EQ(ItemValues(result.text, "容量"), (Strings{"4096 M", "8192 M"}));
  EXPECT_EQ(ItemValues(result.text, "频率"), (Strings{"1600 Mhz", "1600 Mhz"}));
  EXPECT_EQ(ItemValues(result.text, "数据字宽"), (Strings{"64 bit", "0 bit"}));
  EXPECT_EQ(ItemValues(result.text, "制造商"), (Strings{"Maker", "tmpl"}));
  EXPECT_EQ(ItemValues(result.text, "设备名称"), (Strings{"disk0", "cd", "usb", "mystery"}));
  EXPECT_EQ(ItemValues(result.text, "总大小"), (Strings{"476940 MB", "0 MB", "0 MB", "0 MB"}));
}

TEST_F(FillerTest, StorageListsExpandInPlaceWhateverTheirOrder) {
  WriteTemplate("storage.xml",
                Doc("<s>\n  <category id=\"a\"/>\n  <category id=\"3\"/>\n  <category id=\"b\"/>\n"
                    "  <category id=\"2\"/>\n  <category id=\"c\"/>\n</s>\n"));
  PhyMemoryNode modules[1] = {};
  StorageNode disks[2] = {};
  disks[0].mediaType = WTEXT("CD-ROM");
  disks[1].mediaType = WTEXT("CD-ROM");
  Provide(Source::PhyMemory, Chain(modules));
  Provide(Source::Storage, Chain(disks));
  const auto result = Fill(5003);
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(CategoryIds(result.text), (Strings{"a", "500303", "500303", "b", "500301", "c"}));
}

TEST_F(FillerTest, StorageWithoutAnyDataDropsTheListsAndKeepsTheSummary) {
  WriteTemplate("storage.xml", Doc(kStorageTemplate));
  const auto result = Fill(5003);
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(CategoryIds(result.text), (Strings{"1", "9"}));
  EXPECT_EQ(ItemValues(result.text, "物理内存总大小"), Strings{""});
  EXPECT_EQ(Log(Source::Memory).frees, 0);
}

TEST_F(FillerTest, MemorySummaryIsAskedAgainWhenTheWalkRestarts) {
  WriteTemplate("storage.xml", Doc(kStorageTemplate));
  PhyMemoryNode modules[1] = {};
  StorageNode disks[1] = {};
  Provide(Source::PhyMemory, Chain(modules));
  Provide(Source::Storage, Chain(disks));
  const auto result = Fill(5003);
  ASSERT_EQ(result.code, 0);
  // Two restarts pass the summary (still "1") twice more.
  EXPECT_EQ(Gets(Source::Memory), 3);
  EXPECT_EQ(CategoryIds(result.text), (Strings{"1", "500301", "0", "9"}));
}

// --- video.xml, network.xml, control.xml -----------------------------------------------

TEST_F(FillerTest, VideoTemplateGivesAdaptersThenMonitors) {
  WriteTemplate("video.xml",
                Doc("<v>\n  <category id=\"1\" name=\"视频适配器\">"
                    "<item name=\"视频适配器的内存大小\" value=\"\"/>"
                    "<item name=\"当前刷新率\" value=\"\"/>"
                    "<item name=\"水平像素 * 纵向像素\" value=\"\"/></category>\n"
                    "  <category id=\"2\" name=\"监视器\"><item name=\"设备制造商\" value=\"\"/>"
                    "</category>\n</v>\n"));
  VideoadapterNode adapters[2] = {};
  adapters[0].memoryMB = 256;
  adapters[0].refreshRateHz = 60;
  adapters[0].resolution = WTEXT("1920 x 1080");
  adapters[1].memoryMB = 0;
  MonitorNode monitors[1] = {};
  monitors[0].manufacturer = WTEXT("Screens Ltd");
  monitors[0].spare = reinterpret_cast<const void*>(0x1);
  Provide(Source::Videoadapter, Chain(adapters));
  Provide(Source::Monitor, Chain(monitors));
  const auto result = Fill(5004);
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(CategoryIds(result.text), (Strings{"500401", "500401", "500402"}));
  EXPECT_EQ(ItemValues(result.text, "视频适配器的内存大小"), (Strings{"256 MB", "0 MB"}));
  EXPECT_EQ(ItemValues(result.text, "当前刷新率"), (Strings{"60 Hz", "0 Hz"}));
  EXPECT_EQ(ItemValues(result.text, "水平像素 * 纵向像素"), (Strings{"1920 x 1080", ""}));
  EXPECT_EQ(ItemValues(result.text, "设备制造商"), Strings{"Screens Ltd"});
}

TEST_F(FillerTest, NetworkAdaptersAreNamedByTheirDescription) {
  WriteTemplate(
      "network.xml",
      Doc("<n>\n  <category id=\"1\" name=\"网络适配器\">"
          "<item name=\"网络适配器名称\" value=\"tmpl\"/><item name=\"MAC地址\" value=\"\"/>"
          "</category>\n  <category id=\"2\" name=\"keep\"/>\n</n>\n"));
  NetworkadapterNode adapters[2] = {};
  adapters[0].description = WTEXT("Intel & Co <1>");
  adapters[0].macAddress = WTEXT("00:11:22:33:44:55");
  adapters[1].macAddress = WTEXT("66:77:88:99:aa:bb");
  Provide(Source::Networkadapter, Chain(adapters));
  const auto result = Fill(5005);
  ASSERT_EQ(result.code, 0);
  // The category was the root's first child: its copies follow the root's last child.
  EXPECT_EQ(CategoryIds(result.text), (Strings{"2", "500501", "500501"}));
  EXPECT_EQ(CategoryNames(result.text),
            (Strings{"keep", "Intel &amp; Co &lt;1&gt;", "网络适配器"}));
  EXPECT_EQ(ItemValues(result.text, "网络适配器名称"),
            (Strings{"Intel &amp; Co &lt;1&gt;", "tmpl"}));
  EXPECT_EQ(ItemValues(result.text, "MAC地址"),
            (Strings{"00:11:22:33:44:55", "66:77:88:99:aa:bb"}));
}

TEST_F(FillerTest, ControllersRepeatInListOrderAndEmptyListsDisappear) {
  const std::string text =
      Doc("<c>\n  <category id=\"x\"/>\n  <category id=\"1\" name=\"tmpl\">"
          "<item name=\"控制器名称\" value=\"\"/></category>\n"
          "  <category id=\"y\"/>\n</c>\n");
  WriteTemplate("control.xml", text);
  SystemcontrollerNode controllers[3] = {};
  controllers[0].name = WTEXT("first");
  controllers[1].name = WTEXT("second");
  controllers[2].name = WTEXT("third");
  Provide(Source::Systemcontroller, Chain(controllers));
  auto result = Fill(5006);
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(CategoryIds(result.text), (Strings{"x", "500601", "500601", "500601", "y"}));
  EXPECT_EQ(CategoryNames(result.text), (Strings{"", "first", "second", "third", ""}));

  Provide(Source::Systemcontroller, nullptr);
  result = Fill(5006);
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(CategoryIds(result.text), (Strings{"x", "y"}));
}

TEST_F(FillerTest, FirstCategoryCopiesGoToTheEndAndTheWalkContinues) {
  // A continuing rule on the root's first category appends its copies after the second
  // category of the same id, which the walk then never reaches.
  WriteTemplate("control.xml", Doc("<c>\n  <category id=\"1\" name=\"a\"/>\n"
                                   "  <category id=\"1\" name=\"b\"/>\n</c>\n"));
  SystemcontrollerNode controllers[2] = {};
  Provide(Source::Systemcontroller, Chain(controllers));
  const auto result = Fill(5006);
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(CategoryIds(result.text), (Strings{"1", "500601", "500601"}));
  EXPECT_EQ(CategoryNames(result.text), (Strings{"b", "a", "a"}));
}

// --- other.xml ------------------------------------------------------------------------

struct OtherMachine {
  InputdeviceNode input[3] = {};
  ModemNode modems[1] = {};
  PrinterNode printers[1] = {};
  SystemslotNode slots[1] = {};

  explicit OtherMachine(int inputDevices) {
    input[0].deviceType = WTEXT("Keyboard");
    input[1].deviceType = WTEXT("Pointing");
    input[2].deviceType = WTEXT("Tablet");
    input[0].manufacturer = WTEXT("Keys Inc");
    printers[0].name = WTEXT("Office");
    slots[0].name = WTEXT("PCIe x16");
    for (int i = 0; i + 1 < inputDevices; ++i) input[i].next = &input[i + 1];
    Provide(Source::Inputdevice, &input[0]);
    Provide(Source::Modem, Chain(modems));
    Provide(Source::Printer, Chain(printers));
    Provide(Source::Systemslot, Chain(slots));
  }
};

std::string OtherTemplate(const std::vector<const char*>& ids) {
  std::string body = "<o>\n";
  for (const char* id : ids) {
    body += "  <category id=\"";
    body += id;
    body += "\" name=\"t\"><item name=\"设备制造商\" value=\"\"/></category>\n";
  }
  return Doc(body + "</o>\n");
}

TEST_F(FillerTest, InputDevicesAreNumberedAheadOfTheFixedIds) {
  WriteTemplate("other.xml", OtherTemplate({"1", "2", "3", "4"}));
  OtherMachine machine(2);
  const auto result = Fill(5007);
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(CategoryIds(result.text), (Strings{"500701", "500702", "500703", "500704", "500705"}));
  EXPECT_EQ(CategoryNames(result.text), (Strings{"键盘", "鼠标", "t", "t", "t"}));
  EXPECT_EQ(ItemValues(result.text, "设备制造商"), (Strings{"Keys Inc", "", "", "", ""}));
}

TEST_F(FillerTest, RunningNumberCountsEveryKindFilledBefore) {
  WriteTemplate("other.xml", OtherTemplate({"2", "1", "3", "4"}));
  OtherMachine machine(2);
  auto result = Fill(5007);
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(CategoryIds(result.text), (Strings{"500703", "500702", "500703", "500704", "500705"}));

  WriteTemplate("other.xml", OtherTemplate({"1", "2", "3", "4"}));
  OtherMachine three(3);
  result = Fill(5007);
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(CategoryIds(result.text),
            (Strings{"500701", "500702", "500703", "500703", "500704", "500705"}));
  EXPECT_EQ(CategoryNames(result.text), (Strings{"键盘", "鼠标", "", "t", "t", "t"}));
}

TEST_F(FillerTest, OtherCategoriesStayAheadOfEveryExpansion) {
  WriteTemplate("other.xml", OtherTemplate({"1", "2", "3", "4", "z"}));
  OtherMachine machine(1);
  auto result = Fill(-1);
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(CategoryIds(result.text), (Strings{"z", "500701", "500703", "500704", "500705"}));

  testprovider::Reset();
  result = Fill(42);
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(CategoryIds(result.text), Strings{"z"});
}

}  // namespace
