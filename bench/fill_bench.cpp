// Filling a template, as GetDeviceXMLBuffer does, against pugixml doing the same: parse the
// template, walk every category's items, look each item's name up in the table of values,
// set its value attribute, and hand back the whole document as a string: ours copies its
// text out, as the request does, where pugixml writes its tree out. Both sides start from
// the same content (our UTF-16 text, its UTF-8 bytes for pugixml) and the same table, and
// everything from the parse to the finished string is timed. Our host keeps one document
// across fills, as a host filling template after template would; pugixml's document keeps
// nothing, but its allocator gets its pages back.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/text.h"
#include "bench/bench_text.h"
#include "bench/list_expansion_bench.h"
#include "bench/pugixml_text.h"
#include "xmldoc/xml_doc.h"

namespace {

using benchtext::AsPugixmlWritesIt;
using benchtext::kKeepWholeText;
using benchtext::Number;
using benchtext::SaveWhole;
using benchtext::ToUtf8;

// A template of `items` items spread evenly over `categories` categories, each item with a
// Chinese caption as its name and an empty value, and the table of the value each name is
// to receive: text that needs escaping, Chinese included. The names are the first `names`
// of a numbered series, repeated: real templates repeat a small vocabulary, and a table of
// a name per item would time its own lookups (a cache miss each, in a table of 100,000
// names) rather than the fill.
struct Template {
  WString text;
  std::vector<std::pair<WString, WString>> values;  // item name, value
  int items = 0;
};

Template MakeTemplate(int categories, int items, int names) {
  static const WChar* const kCaptions[] = {
      WTEXT("\u64cd\u4f5c\u7cfb\u7edf"),
      WTEXT("\u5904\u7406\u5668"),
      WTEXT("\u5185\u5b58"),
      WTEXT("\u786c\u76d8"),
      WTEXT("\u7f51\u5361"),
      WTEXT("\u663e\u793a\u5668"),
  };
  static const WChar* const kValues[] = {
      WTEXT("Intel(R) Core(TM) i7 \"8700\" @ 3.20GHz"),
      WTEXT("\u5fae\u8f6f Windows 10 <\u4e13\u4e1a\u7248> & more"),
      WTEXT("16384 MB"),
      WTEXT("Samsung SSD 'EVO' 500GB"),
  };
  Template t;
  t.items = items;
  for (int k = 0; k < names; ++k) {
    t.values.emplace_back(kCaptions[k % 6] + Number(k), kValues[k % 4]);
  }
  t.text = WTEXT("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<root>\r\n");
  int item = 0;
  for (int c = 0; c < categories; ++c) {
    t.text += WTEXT("  <category id=\"") + Number(500101 + c) + WTEXT("\">\r\n");
    const int end = (c + 1) * items / categories;
    for (; item < end; ++item) {
      const WString& name = t.values[static_cast<size_t>(item % names)].first;
      t.text += WTEXT("    <item name=\"") + name + WTEXT("\" value=\"\"/>\r\n");
    }
    t.text += WTEXT("  </category>\r\n");
  }
  t.text += WTEXT("</root>\r\n");
  return t;
}

using VelmoraTable = std::unordered_map<WString, const WChar*>;

VelmoraTable MakeVelmoraTable(const Template& t) {
  VelmoraTable table;
  for (const auto& [name, value] : t.values) table.emplace(name, value.c_str());
  return table;
}

// One fill: walks categories and items through the engine's navigation, as the template
// filler does. The host keeps `doc` from one fill to the next, and with it its storage.
WString VelmoraFillOnce(XmlDoc& doc, const Template& t, const VelmoraTable& table) {
  doc.ParseText(t.text.c_str());
  while (doc.FindChildElement(WTEXT("category"))) {
    doc.EnterElement();
    while (doc.FindChildElement(WTEXT("item"))) {
      const auto found = table.find(doc.ReadChildAttribute(WTEXT("name")));
      if (found != table.end()) doc.WriteAttribute(doc.childPos, WTEXT("value"), found->second);
    }
    doc.LeaveElement();
  }
  return doc.DocumentText();
}

void VelmoraFill(benchmark::State& state, const Template& t) {
  const VelmoraTable table = MakeVelmoraTable(t);
  size_t size = 0;
  XmlDoc doc;
  for (auto _ : state) {
    const WString out = VelmoraFillOnce(doc, t, table);
    size = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["items"] = t.items;
  state.counters["KB(utf8)"] = static_cast<double>(ToUtf8(t.text).size()) / 1024;
  state.counters["out_units"] = static_cast<double>(size);
}

// The table of values as UTF-8; the views point into `values`.
struct PugixmlTable {
  std::vector<std::pair<std::string, std::string>> values;
  std::unordered_map<std::string_view, const char*> byName;
};

void MakePugixmlTable(const Template& t, PugixmlTable& table) {
  for (const auto& [name, value] : t.values) {
    table.values.emplace_back(ToUtf8(name), ToUtf8(value));
  }
  for (const auto& [name, value] : table.values) table.byName.emplace(name, value.c_str());
}

// One fill by pugixml: parse, find each item by its name attribute, set the value, save.
std::string PugixmlFillOnce(const std::string& utf8, const PugixmlTable& table) {
  pugi::xml_document doc;
  doc.load_buffer(utf8.data(), utf8.size(), kKeepWholeText, pugi::encoding_utf8);
  for (pugi::xml_node category : doc.document_element().children("category")) {
    for (pugi::xml_node item : category.children("item")) {
      const auto found = table.byName.find(item.attribute("name").value());
      if (found != table.byName.end()) item.attribute("value").set_value(found->second);
    }
  }
  return SaveWhole(doc);
}

void PugixmlFill(benchmark::State& state, const Template& t) {
  const std::string utf8 = ToUtf8(t.text);
  PugixmlTable table;
  MakePugixmlTable(t, table);
  size_t size = 0;
  for (auto _ : state) {
    const std::string out = PugixmlFillOnce(utf8, table);
    size = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["items"] = t.items;
  state.counters["out_bytes"] = static_cast<double>(size);
}

// The same documents parsed and taken as text without any write: the share of a fill that
// is not editing.
void VelmoraRoundTrip(benchmark::State& state, const Template& t) {
  XmlDoc doc;
  for (auto _ : state) {
    doc.ParseText(t.text.c_str());
    const WString out = doc.DocumentText();
    benchmark::DoNotOptimize(out.data());
  }
}

void PugixmlRoundTrip(benchmark::State& state, const Template& t) {
  const std::string utf8 = ToUtf8(t.text);
  for (auto _ : state) {
    pugi::xml_document doc;
    doc.load_buffer(utf8.data(), utf8.size(), kKeepWholeText, pugi::encoding_utf8);
    const std::string out = SaveWhole(doc);
    benchmark::DoNotOptimize(out.data());
  }
}

// The shape of the shipped templates: about 4 KB, 14 categories, 96 items, each of its own
// name.
constexpr int kShippedItems = 96;
const Template& Small() {
  static const Template t = MakeTemplate(14, kShippedItems, kShippedItems);
  return t;
}

// Generated templates of growing size, about seven items per category, with the 96 names of
// the shipped shape over and over.
const Template& Generated(int items) {
  static std::unordered_map<int, Template> made;
  auto found = made.find(items);
  if (found == made.end()) {
    found = made.emplace(items, MakeTemplate((items + 6) / 7, items, kShippedItems)).first;
  }
  return found->second;
}

void BM_Velmora_Fill96(benchmark::State& state) { VelmoraFill(state, Small()); }
void BM_Pugixml_Fill96(benchmark::State& state) { PugixmlFill(state, Small()); }
void BM_Velmora_FillItems(benchmark::State& state) {
  VelmoraFill(state, Generated(static_cast<int>(state.range(0))));
}
void BM_Pugixml_FillItems(benchmark::State& state) {
  PugixmlFill(state, Generated(static_cast<int>(state.range(0))));
}

void BM_Velmora_RoundTrip96(benchmark::State& state) { VelmoraRoundTrip(state, Small()); }
void BM_Pugixml_RoundTrip96(benchmark::State& state) { PugixmlRoundTrip(state, Small()); }

BENCHMARK(BM_Velmora_Fill96)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pugixml_Fill96)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Velmora_RoundTrip96)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pugixml_RoundTrip96)->Unit(benchmark::kMicrosecond);
// Time per item is to stay about the same from a thousand items to a hundred thousand.
BENCHMARK(BM_Velmora_FillItems)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pugixml_FillItems)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);

// Both sides must hand back the same document, or the race is not the same race. They may
// differ only where pugixml has no choice (AsPugixmlWritesIt).
bool SameFilledDocument(const Template& t) {
  PugixmlTable pugixmlTable;
  MakePugixmlTable(t, pugixmlTable);
  XmlDoc doc;
  const std::string ours = AsPugixmlWritesIt(ToUtf8(VelmoraFillOnce(doc, t, MakeVelmoraTable(t))));
  const std::string theirs = PugixmlFillOnce(ToUtf8(t.text), pugixmlTable);
  if (ours == theirs) return true;
  std::fprintf(stderr, "the fills differ:\n%s\n----\n%s\n", ours.c_str(), theirs.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (!SameFilledDocument(Small()) || !SameFilledDocument(Generated(100)) ||
      !SameExpandedDocument(3)) {
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
