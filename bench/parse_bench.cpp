// ParseDocument against pugixml's in-place parse of the same content: our UTF-16 text, its
// UTF-8 bytes. The *_Fresh cases give each parser a new document per iteration (and pugixml
// a fresh copy of the bytes to parse in place); making and releasing them is outside the
// timed region, so the figures are the time to parse one document into new memory. The
// *_Reused cases parse again into the same document object, which keeps the storage of the
// previous parse (our index keeps its pages; pugixml's allocator gets its pages back), so
// they show the parsers without the cost of first-touching fresh memory. pugixml's copy of
// the bytes is made outside the timed region in both.

#include <benchmark/benchmark.h>

#include <memory>
#include <pugixml.hpp>
#include <string>

#include "base/text.h"
#include "bench/bench_text.h"
#include "xmldoc/xml_doc.h"

namespace {

using benchtext::Number;
using benchtext::ToUtf8;

// The templates' shape: root > category id= name= > item name="Chinese caption" value="...",
// grown until its UTF-8 form reaches about `bytes`.
WString TemplateDocument(size_t bytes) {
  static const WChar* const kCaptions[] = {
      WTEXT("\u64cd\u4f5c\u7cfb\u7edf\u540d\u79f0"),
      WTEXT("\u5904\u7406\u5668\u578b\u53f7"),
      WTEXT("\u5185\u5b58\u5bb9\u91cf"),
      WTEXT("\u786c\u76d8\u5e8f\u5217\u53f7"),
      WTEXT("\u7f51\u5361\u5730\u5740"),
      WTEXT("\u663e\u793a\u5668\u5236\u9020\u5546"),
  };
  WString text = WTEXT("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<root>\r\n");
  size_t utf8 = text.size();
  for (int category = 0; utf8 < bytes; ++category) {
    WString block = WTEXT("  <category id=\"") + Number(500100 + category) +
                    WTEXT("\" name=\"\u8bbe\u5907\u4fe1\u606f ") + Number(category) +
                    WTEXT("\">\r\n");
    for (int item = 0; item < 24; ++item) {
      block += WTEXT("    <item name=\"");
      block += kCaptions[item % 6];
      block += Number(item);
      block += WTEXT("\" value=\"Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz ");
      block += Number(item * 1000 + category);
      block += WTEXT(" MB\"/>\r\n");
    }
    block += WTEXT("  </category>\r\n");
    utf8 += ToUtf8(block).size();
    text += block;
  }
  text += WTEXT("</root>\r\n");
  return text;
}

// Elements nested `depth` levels, each with one attribute.
WString DeepDocument(int depth) {
  WString text;
  for (int i = 0; i < depth; ++i) text += WTEXT("<node id=\"") + Number(i) + WTEXT("\">");
  for (int i = 0; i < depth; ++i) text += WTEXT("</node>");
  return text;
}

const WString& Template() {
  static const WString text = TemplateDocument(20u << 20);
  return text;
}

const WString& Deep() {
  static const WString text = DeepDocument(100000);
  return text;
}

void VelmoraParse(benchmark::State& state, const WString& text, bool reuse) {
  auto doc = std::make_unique<XmlDoc>();
  doc->SetText(text);
  for (auto _ : state) {
    if (!reuse) {
      state.PauseTiming();
      doc = std::make_unique<XmlDoc>();
      doc->SetText(text);
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(doc->ParseDocument());
    if (!reuse) {
      state.PauseTiming();
      if (doc->nextFreeEntry < 2) state.SkipWithError("no elements");
      doc.reset();
      state.ResumeTiming();
    }
  }
  state.counters["MB(utf8)"] = static_cast<double>(ToUtf8(text).size()) / (1 << 20);
}

void PugixmlParse(benchmark::State& state, const WString& text, unsigned options, bool reuse) {
  const std::string utf8 = ToUtf8(text);
  std::string buffer;
  auto doc = std::make_unique<pugi::xml_document>();
  for (auto _ : state) {
    state.PauseTiming();
    buffer = utf8;
    if (!reuse) doc = std::make_unique<pugi::xml_document>();
    state.ResumeTiming();
    const pugi::xml_parse_result result =
        doc->load_buffer_inplace(buffer.data(), buffer.size(), options, pugi::encoding_utf8);
    benchmark::DoNotOptimize(result.status);
    if (!reuse) {
      state.PauseTiming();
      if (!result) state.SkipWithError(result.description());
      doc.reset();
      state.ResumeTiming();
    }
  }
  state.counters["MB(utf8)"] = static_cast<double>(utf8.size()) / (1 << 20);
}

constexpr unsigned kDefault = pugi::parse_default;
constexpr unsigned kMinimal = pugi::parse_minimal;

void BM_Velmora_Template_Fresh(benchmark::State& s) { VelmoraParse(s, Template(), false); }
void BM_Pugixml_Template_Fresh(benchmark::State& s) {
  PugixmlParse(s, Template(), kDefault, false);
}
void BM_PugixmlMinimal_Template_Fresh(benchmark::State& s) {
  PugixmlParse(s, Template(), kMinimal, false);
}
void BM_Velmora_Template_Reused(benchmark::State& s) { VelmoraParse(s, Template(), true); }
void BM_Pugixml_Template_Reused(benchmark::State& s) {
  PugixmlParse(s, Template(), kDefault, true);
}
void BM_PugixmlMinimal_Template_Reused(benchmark::State& s) {
  PugixmlParse(s, Template(), kMinimal, true);
}
void BM_Velmora_Deep_Fresh(benchmark::State& s) { VelmoraParse(s, Deep(), false); }
void BM_Pugixml_Deep_Fresh(benchmark::State& s) { PugixmlParse(s, Deep(), kDefault, false); }
void BM_Velmora_Deep_Reused(benchmark::State& s) { VelmoraParse(s, Deep(), true); }
void BM_Pugixml_Deep_Reused(benchmark::State& s) { PugixmlParse(s, Deep(), kDefault, true); }

BENCHMARK(BM_Velmora_Template_Fresh)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Pugixml_Template_Fresh)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PugixmlMinimal_Template_Fresh)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Velmora_Template_Reused)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Pugixml_Template_Reused)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PugixmlMinimal_Template_Reused)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Velmora_Deep_Fresh)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Pugixml_Deep_Fresh)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Velmora_Deep_Reused)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Pugixml_Deep_Reused)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
