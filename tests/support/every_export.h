#pragma once
// Every export of the inventory library as a host calls it, and the calls from many threads at
// once, over a provider core a test chooses or over the shipped libraries.

#include <algorithm>
#include <cstddef>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "dll/velmora.h"

namespace every_export {

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

inline constexpr ExportCall kEveryExport[] = {
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

inline int Call(const ExportCall& call, CallerState& state) {
  return call.pairs != nullptr ? call.pairs(state.pairs)
                               : GetDeviceXMLBuffer(call.category, state.text);
}

inline bool IsPrefix(const PairList& prefix, const PairList& whole) {
  return prefix.size() <= whole.size() && std::equal(prefix.begin(), prefix.end(), whole.begin());
}

// Eight threads make the calls at once, each three times over and starting at another export,
// so that different calls overlap (and race to read what nothing has read yet); then one thread
// makes each call once. Every call of the threads must give what the one thread's gives. Under
// ThreadSanitizer this also finds the races that happen not to change an output.
inline void ExpectEveryThreadGetsWhatOneThreadGets(const std::vector<ExportCall>& calls) {
  std::vector<std::vector<std::pair<int, CallerState>>> made(8);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < made.size(); ++t) {
    threads.emplace_back([&, t] {
      for (std::size_t n = 0; n < 3 * calls.size(); ++n) {
        CallerState state;
        const int result = Call(calls[(n + t * 3) % calls.size()], state);
        made[t].emplace_back(result, std::move(state));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::vector<std::pair<int, CallerState>> alone(calls.size());
  for (std::size_t i = 0; i < calls.size(); ++i) alone[i].first = Call(calls[i], alone[i].second);
  for (std::size_t t = 0; t < made.size(); ++t) {
    for (std::size_t n = 0; n < made[t].size(); ++n) {
      const std::size_t i = (n + t * 3) % calls.size();
      EXPECT_TRUE(made[t][n] == alone[i]) << calls[i].name << " in thread " << t;
    }
  }
}

}  // namespace every_export
