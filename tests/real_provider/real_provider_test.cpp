// The inventory library over the real provider, both linked into this program (the provider's
// own exports, serving a core the test chooses), so that the test's operator new serves them
// both. Records come from the example profile, and from the readers: off Windows over a copy of
// each fixture tree, on Windows from the machine it runs on.

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "dll/velmora.h"
#include "harnel/current_core.h"
#include "harnel/disposable_json.h"
#include "harnel/explain.h"
#include "tests/support/each_allocation_failure.h"
#include "tests/support/every_export.h"
#include "tests/support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

std::unique_ptr<harnel::ProviderCore> current;

struct Source {
  const char* name;
  std::optional<fs::path> profile;  // replayed when set, else `root` is read
  fs::path root;
  bool templates = true;  // false: the pair exports only
};

std::vector<Source> Sources() {
  std::vector<Source> sources = {
      {"workstation profile", fs::path(VELMORA_SOURCE_DIR) / "examples/workstation.json", {}}};
#ifdef _WIN32
  // Through the pair exports only: a template adds the library's own allocations, tried over
  // the profile already, and os.xml the uptime, which moves between calls.
  sources.push_back({"this machine", std::nullopt, {}, false});
#else
  // Copies of the fixture trees, since the tests touch their pci.ids; removed at exit.
  static const velmora_test::ScratchDir trees(fs::path(VELMORA_SOURCE_DIR) /
                                              "tests/harnel/linux/data");
  for (const char* tree : {"laptop", "server", "container"}) {
    sources.push_back({tree, std::nullopt, trees / tree});
  }
#endif
  return sources;
}

// A fresh core for `source`: nothing read yet, nothing held.
void UseSource(const Source& source) {
  current.reset();
  current = std::make_unique<harnel::ProviderCore>(source.profile, source.root);
  // The readers keep what they found in pci.ids while the file stays the same; a newer
  // modification time makes them look it up again.
  const fs::path ids = source.root / "usr/share/misc/pci.ids";
  if (!source.profile && fs::exists(ids)) {
    fs::last_write_time(ids, fs::last_write_time(ids) + std::chrono::seconds(1));
  }
}

using every_export::CallerState;
using every_export::ExportCall;

std::vector<ExportCall> ExportsFor(const Source& source) {
  std::vector<ExportCall> calls(std::begin(every_export::kEveryExport),
                                std::end(every_export::kEveryExport));
  std::erase_if(calls, [&](const ExportCall& call) { return !call.pairs && !source.templates; });
  return calls;
}

using every_export::Call;
using every_export::IsPrefix;

// Allocation k of an export call fails, for every k until the call succeeds: once, and from k
// on (memory gone). The process must never end: the exception reaches the caller, every record
// handed out has come back, the sanitizer build finds no leak, and the caller's PairList or
// string is as the exports promise.
TEST(RealProviderAllocationFailureTest, EveryFailureReachesTheCallerWithNothingHeld) {
  for (const Source& source : Sources()) {
    for (const ExportCall& call : ExportsFor(source)) {
      SCOPED_TRACE(testing::Message() << source.name << ", " << call.name);
      UseSource(source);
      CallerState expected;
      const int expectedResult = Call(call, expected);
      const bool listExport = std::string_view(call.name).ends_with("ListPair");
      for (const bool andAfter : {false, true}) {
        EachAllocationFailure failure(andAfter);
        while (failure.Next()) {
          SCOPED_TRACE(failure.Name());
          UseSource(source);  // the profile is read inside the call again
          CallerState state;
          int result = -2;
          const bool threw = failure.Run([&] { result = Call(call, state); });
          ASSERT_EQ(current->HeldCount(), 0u);
          if (!threw) {
            EXPECT_EQ(result, expectedResult);
            EXPECT_TRUE(state == expected);
            continue;
          }
          // A list export keeps the pairs it appended before the failure; nothing else changes.
          EXPECT_TRUE(listExport ? IsPrefix(state.pairs, expected.pairs) : state == CallerState());
          EXPECT_EQ(state.text, CallerState().text);
        }
        EXPECT_GT(failure.Failures(), 0);
      }
    }
  }
}

// The explainers behind `velmora --reasons` as well, for records of each shape read from the
// machine: the exception reaches the caller, and once the call succeeds it gives what a call
// without failures gives.
TEST(RealProviderAllocationFailureTest, ReasonsReachTheCallerOrNothing) {
  for (const Source& source : Sources()) {
    if (source.profile) continue;
    UseSource(source);
    for (const char* key : {"OS", "BIOS", "Userinfo", "StorageList"}) {
      const std::string expected =
          harnel::DisposableJson(harnel::ExplainMachine(key, source.root)).dump();
      for (const bool andAfter : {false, true}) {
        SCOPED_TRACE(testing::Message() << source.name << ", " << key << (andAfter ? " on" : ""));
        for (EachAllocationFailure failure(andAfter); failure.Next();) {
          std::optional<harnel::DisposableJson> reasons;
          if (!failure.Run([&] { reasons.emplace(harnel::ExplainMachine(key, source.root)); })) {
            EXPECT_EQ(reasons->dump(), expected) << failure.Name();
          }
        }
      }
    }
  }
}

// Every export from many threads at once over one fresh provider, with the profile and with the
// laptop's tree (on Windows the machine, through the pair exports).
TEST(RealProviderConcurrencyTest, EveryThreadGetsWhatOneThreadGets) {
  const std::vector<Source> sources = Sources();
  for (const Source& source : std::span(sources).first(std::min<std::size_t>(2, sources.size()))) {
    SCOPED_TRACE(source.name);
    UseSource(source);
    every_export::ExpectEveryThreadGetsWhatOneThreadGets(ExportsFor(source));
    EXPECT_EQ(current->HeldCount(), 0u);
  }
}

}  // namespace

// The exports serve the core the test chose last.
harnel::ProviderCore& harnel::CurrentCore() { return *current; }
