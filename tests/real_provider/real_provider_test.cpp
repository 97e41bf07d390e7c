// The inventory library over the real provider, both linked into this program (the provider's
// own exports, serving a core the test chooses), so that the test's operator new serves them
// both. Records come from the example profile, and from the readers: off Windows over a copy of
// each fixture tree, on Windows from the machine it runs on.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <new>
#include <string_view>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "dll/velmora.h"
#include "harnel/current_core.h"
#include "harnel/disposable_json.h"
#include "harnel/explain.h"
#include "tests/support/failing_allocator.h"
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
  static const velmora_test::ScratchDir trees(fs::path(VELMORA_SOURCE_DIR) / "tests/probe/data");
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

// What a caller holds: the PairList of the pair exports, the string of GetDeviceXMLBuffer.
struct CallerState {
  PairList pairs = {{WTEXT("earlier："), WTEXT("pair")}};
  WString text = WTEXT("before");
  bool operator==(const CallerState&) const = default;
};

struct ExportCall {
  const char* name;
  int (*pairs)(PairList&);  // null for GetDeviceXMLBuffer
  int category;
};

constexpr ExportCall kEveryExport[] = {
    {"GetOSPair", GetOSPair, 0},
    {"GetBIOSPair", GetBIOSPair, 0},
    {"GetProcessorPair", GetProcessorPair, 0},
    {"GetMemoryPair", GetMemoryPair, 0},
    {"GetUserinfoPair", GetUserinfoPair, 0},
    {"GetInputdeviceListPair", GetInputdeviceListPair, 0},
    {"GetModemListPair", GetModemListPair, 0},
    {"GetMonitorListPair", GetMonitorListPair, 0},
    {"GetNetworkadapterListPair", GetNetworkadapterListPair, 0},
    {"GetPrinterListPair", GetPrinterListPair, 0},
    {"GetStorageListPair", GetStorageListPair, 0},
    {"GetSystemcontrollerListPair", GetSystemcontrollerListPair, 0},
    {"GetSystemslotListPair", GetSystemslotListPair, 0},
    {"GetVideoadapterListPair", GetVideoadapterListPair, 0},
    {"list.xml", nullptr, 0},
    {"os.xml", nullptr, 5001},
    {"bios.xml", nullptr, 5002},
    {"storage.xml", nullptr, 5003},
    {"video.xml", nullptr, 5004},
    {"network.xml", nullptr, 5005},
    {"control.xml", nullptr, 5006},
    {"other.xml", nullptr, 5007},
};

std::vector<ExportCall> ExportsFor(const Source& source) {
  std::vector<ExportCall> calls(std::begin(kEveryExport), std::end(kEveryExport));
  std::erase_if(calls, [&](const ExportCall& call) { return !call.pairs && !source.templates; });
  return calls;
}

int Call(const ExportCall& call, CallerState& state) {
  return call.pairs != nullptr ? call.pairs(state.pairs)
                               : GetDeviceXMLBuffer(call.category, state.text);
}

bool IsPrefix(const PairList& prefix, const PairList& whole) {
  return prefix.size() <= whole.size() && std::equal(prefix.begin(), prefix.end(), whole.begin());
}

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
        long failures = 0;
        for (long k = 1;; ++k) {
          SCOPED_TRACE(testing::Message()
                       << "allocation " << k << (andAfter ? " on" : "") << " fails");
          UseSource(source);  // the profile is read inside the call again
          CallerState state;
          bool threw = false;
          int result = -2;
          failing_allocator::FailAt(k, andAfter);
          try {
            result = Call(call, state);
          } catch (const std::bad_alloc&) {
            threw = true;
          }
          failing_allocator::Stop();

          ASSERT_EQ(current->HeldCount(), 0u);
          if (!threw) {
            EXPECT_EQ(result, expectedResult);
            EXPECT_TRUE(state == expected);
            break;
          }
          ++failures;
          // A list export keeps the pairs it appended before the failure; nothing else changes.
          EXPECT_TRUE(listExport ? IsPrefix(state.pairs, expected.pairs) : state == CallerState());
          EXPECT_EQ(state.text, CallerState().text);
          ASSERT_LT(k, 100000) << "the call never succeeds";
        }
        EXPECT_GT(failures, 0);
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
        for (long k = 1;; ++k) {
          failing_allocator::FailAt(k, andAfter);
          try {
            const harnel::DisposableJson reasons = harnel::ExplainMachine(key, source.root);
            failing_allocator::Stop();
            EXPECT_EQ(reasons.dump(), expected);
            break;
          } catch (const std::bad_alloc&) {
            failing_allocator::Stop();
          }
          ASSERT_LT(k, 100000) << "the call never succeeds";
        }
      }
    }
  }
}

// Eight threads call every export at once over one provider, with the profile and with the
// laptop's tree (on Windows the machine, through the pair exports): each gets what a single
// thread gets. The test command runs this under ThreadSanitizer, which also finds the races
// that happen not to change an output.
TEST(RealProviderConcurrencyTest, EveryThreadGetsWhatOneThreadGets) {
  const std::vector<Source> sources = Sources();
  for (const Source& source : std::span(sources).first(std::min<std::size_t>(2, sources.size()))) {
    SCOPED_TRACE(source.name);
    UseSource(source);
    const std::vector<ExportCall> calls = ExportsFor(source);
    std::vector<CallerState> expected(calls.size());
    std::vector<int> expectedResults;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      expectedResults.push_back(Call(calls[i], expected[i]));
    }

    UseSource(source);  // a fresh core: the threads also race to read the profile
    std::atomic<int> mismatches = 0;
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < 8; ++t) {
      threads.emplace_back([&, t] {
        // Each thread starts at another export, so that different calls overlap.
        for (std::size_t n = 0; n < 3 * expected.size(); ++n) {
          const std::size_t i = (n + t * 3) % expected.size();
          CallerState state;
          if (Call(calls[i], state) != expectedResults[i] || !(state == expected[i])) {
            ++mismatches;
          }
        }
      });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(current->HeldCount(), 0u);
  }
}

}  // namespace

// The exports serve the core the test chose last.
harnel::ProviderCore& harnel::CurrentCore() { return *current; }
