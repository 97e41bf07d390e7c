// Expanding a list category: the storage template's device category replaced by one filled
// copy per device, through the filler's own category walk, ExpandListCategory and FillCopy,
// against pugixml copying the category node after itself per device, filling the copy and
// removing the original. Both walk the categories again afterwards, as the filler's restart
// does, and both hand back the whole document as a string.

#include "bench/list_expansion_bench.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <pugixml.hpp>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_text.h"
#include "bench/pugixml_text.h"
#include "filler/category_walk.h"
#include "filler/device_types.h"
#include "filler/fill_tables.h"
#include "provider/records.h"
#include "xmldoc/xml_doc.h"

namespace {

using benchtext::ToUtf8;

// The storage template's shape: the device category is the last of three.
constexpr const WChar* kTemplate = WTEXT("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n")
    "<hardinfo type=\"5003\" name=\"\u5185\u5b58\u4e0e\u5b58\u50a8\u8bbe\u5907\">\r\n"
    "  <category id=\"1\" name=\"\u5185\u5b58\">\r\n"
    "    <item name=\"\u7269\u7406\u5185\u5b58\u603b\u5927\u5c0f\" value=\"\"/>\r\n"
    "  </category>\r\n"
    "  <category id=\"2\" name=\"\u5185\u5b58\u6761\">\r\n"
    "    <item name=\"\u5185\u5b58\u6761\" value=\"\"/>\r\n"
    "  </category>\r\n"
    "  <category id=\"3\" name=\"\u5b58\u50a8\u8bbe\u5907\">\r\n"
    "    <item name=\"\u8bbe\u5907\u540d\u79f0\" value=\"\"/>\r\n"
    "    <item name=\"\u5236\u9020\u5546\" value=\"\"/>\r\n"
    "    <item name=\"\u578b\u53f7\" value=\"\"/>\r\n"
    "    <item name=\"\u603b\u5927\u5c0f\" value=\"\"/>\r\n"
    "    <item name=\"\u8bbe\u5907\u63cf\u8ff0\" value=\"\"/>\r\n"
    "  </category>\r\n"
    "</hardinfo>\r\n";
constexpr const WChar* kListId = WTEXT("3");
constexpr const WChar* kFixedDisk = WTEXT("Fixed\thard disk media");

// `count` storage devices as the provider lists them, the strings they point to kept beside.
struct DeviceList {
  std::vector<WString> texts;
  std::vector<StorageNode> nodes;
};

DeviceList MakeDevices(int count) {
  DeviceList list;
  list.texts.reserve(static_cast<size_t>(count) * 3);
  list.nodes.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const auto text = [&list](WString s) { return list.texts.emplace_back(std::move(s)).c_str(); };
    StorageNode& node = list.nodes[static_cast<size_t>(i)];
    node.name = text(WTEXT("\\\\.\\PHYSICALDRIVE") + benchtext::Number(i));
    node.mediaType = kFixedDisk;
    node.manufacturer = WTEXT("(\u6807\u51c6\u78c1\u76d8\u9a71\u52a8\u5668)");
    node.model = text(WTEXT("Samsung SSD 970 EVO Plus 500GB #") + benchtext::Number(i));
    node.sizeMB = 476940 + i;
    node.description = WTEXT("\u78c1\u76d8\u9a71\u52a8\u5668 <NVMe> & \"SATA\"");
    node.next = i + 1 < count ? &list.nodes[static_cast<size_t>(i) + 1] : nullptr;
  }
  return list;
}

const DeviceList& Devices(int count) {
  static std::vector<std::pair<int, DeviceList>> made;
  for (const auto& [n, list] : made) {
    if (n == count) return list;
  }
  return made.emplace_back(count, MakeDevices(count)).second;
}

// The list the provider hands the next expansion.
const StorageNode* gNextList = nullptr;

// Stands in for the provider's list guard: the filler asks it for the list and the first node.
class BenchDeviceList {
 public:
  BenchDeviceList() : first_(gNextList) {}
  const StorageNode* get() const { return first_; }
  explicit operator bool() const { return first_ != nullptr; }

 private:
  const StorageNode* first_;
};

// The host keeps `doc` from one expansion to the next, and with it its storage.
WString VelmoraExpandOnce(XmlDoc& doc, const StorageNode* devices) {
  gNextList = devices;
  doc.ParseText(kTemplate);
  velmora::WalkCategories(doc, [](XmlDoc& d, const WString& id) {
    if (id != kListId) return;
    const bool listed =
        velmora::ExpandListCategory<BenchDeviceList>(d, [](XmlDoc& c, const StorageNode& node) {
          const WString caption = velmora::DeviceTypeName(node.mediaType);
          velmora::FillCopy<StorageNode>(c, node, velmora::DeviceTypeId(node.mediaType),
                                         caption.c_str(), velmora::kStorageTable);
        });
    if (listed) d.ResetPosition();
  });
  return doc.DocumentText();
}

// What pugixml writes into one copy, as UTF-8, in the order of the template's items.
struct PugixmlDevice {
  std::string id;
  std::string caption;
  std::string values[5];
};

// What pugixml writes for `node`, derived as the filler derives it for its copy: the type's
// id and caption, the size formatted, every text as UTF-8.
void DerivePugixmlDevice(const StorageNode& node, PugixmlDevice& device) {
  device.id = std::to_string(velmora::DeviceTypeId(node.mediaType));
  benchtext::ToUtf8Into(device.caption, velmora::DeviceTypeName(node.mediaType));
  WChar size[velmora::kNumberBufferUnits] = {};
  FormatNumber(size, WTEXT("%d MB"), node.sizeMB);
  const WChar* values[] = {node.name, node.manufacturer, node.model, size, node.description};
  for (size_t i = 0; i < std::size(values); ++i) {
    benchtext::ToUtf8Into(device.values[i],
                          values[i] != nullptr ? WStringView(values[i]) : WStringView());
  }
}

// The provider's list is turned into pugixml's values during the expansion, one device at a
// time, as the filler derives each copy's id, caption and size text during its own: both
// sides start from the same list.
std::string PugixmlExpandOnce(const std::string& utf8, const StorageNode* list) {
  static const std::vector<std::string> itemNames = [] {
    std::vector<std::string> names;
    for (const auto& row : velmora::kStorageTable) names.push_back(ToUtf8(row.itemName));
    return names;
  }();
  static const std::string listId = ToUtf8(kListId);
  PugixmlDevice device;
  pugi::xml_document doc;
  doc.load_buffer(utf8.data(), utf8.size(), benchtext::kKeepWholeText, pugi::encoding_utf8);
  pugi::xml_node root = doc.document_element();
  // The walk, and once the list category is replaced, the walk again from the first one.
  for (int pass = 0; pass < 2; ++pass) {
    for (pugi::xml_node category : root.children("category")) {
      if (category.attribute("id").value() != listId) continue;
      pugi::xml_node after = category;
      for (const StorageNode* node = list; node != nullptr; node = node->next) {
        DerivePugixmlDevice(*node, device);
        pugi::xml_node copy = root.insert_copy_after(category, after);
        copy.attribute("id").set_value(device.id.c_str());
        copy.attribute("name").set_value(device.caption.c_str());
        for (pugi::xml_node item : copy.children("item")) {
          const char* name = item.attribute("name").value();
          for (size_t row = 0; row < itemNames.size(); ++row) {
            if (itemNames[row] != name) continue;
            item.attribute("value").set_value(device.values[row].c_str());
            break;
          }
        }
        after = copy;
      }
      root.remove_child(category);
      break;
    }
  }
  return benchtext::SaveWhole(doc);
}

void BM_Velmora_ExpandList(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const StorageNode* devices = &Devices(count).nodes.front();
  size_t size = 0;
  XmlDoc doc;
  for (auto _ : state) {
    const WString out = VelmoraExpandOnce(doc, devices);
    size = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["devices"] = count;
  state.counters["out_units"] = static_cast<double>(size);
}

void BM_Pugixml_ExpandList(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const StorageNode* devices = &Devices(count).nodes.front();
  const std::string utf8 = ToUtf8(kTemplate);
  size_t size = 0;
  for (auto _ : state) {
    const std::string out = PugixmlExpandOnce(utf8, devices);
    size = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["devices"] = count;
  state.counters["out_bytes"] = static_cast<double>(size);
}

// Time per device is to stay about the same from a hundred devices to ten thousand.
BENCHMARK(BM_Velmora_ExpandList)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pugixml_ExpandList)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The text with the white space between tags taken out: the engine writes a line break after
// each copy, pugixml none.
std::string WithoutSpaceBetweenTags(const std::string& text) {
  std::string out;
  size_t tagEnd = std::string::npos;  // where the last ">" was written
  for (char c : text) {
    const bool space = c == ' ' || c == '\t' || c == '\r' || c == '\n';
    if (c == '<' && tagEnd != std::string::npos) out.resize(tagEnd + 1);
    out += c;
    if (c == '>') {
      tagEnd = out.size() - 1;
    } else if (!space) {
      tagEnd = std::string::npos;
    }
  }
  return out;
}

}  // namespace

bool SameExpandedDocument(int devices) {
  const StorageNode* list = &Devices(devices).nodes.front();
  XmlDoc doc;
  const std::string ours =
      WithoutSpaceBetweenTags(benchtext::AsPugixmlWritesIt(ToUtf8(VelmoraExpandOnce(doc, list))));
  const std::string theirs = WithoutSpaceBetweenTags(PugixmlExpandOnce(ToUtf8(kTemplate), list));
  if (ours == theirs) return true;
  std::fprintf(stderr, "the expansions differ:\n%s\n----\n%s\n", ours.c_str(), theirs.c_str());
  return false;
}
