// The fifteen Get/Free pairs of Harnel.dll reading the machine, called in one process: the
// time of each pair (the first round, then the median of the later ones), and whether any
// library of COM or of the management service was loaded by them.
//
// Windows (and Wine) only; it needs nothing of Google Benchmark. Run it with no profile set.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "harnel/schema.h"

namespace {

constexpr int kRounds = 21;
constexpr const wchar_t* kComLibraries[] = {L"ole32.dll",    L"oleaut32.dll", L"combase.dll",
                                            L"wbemprox.dll", L"fastprox.dll", L"wbemcomn.dll",
                                            L"wmiutils.dll"};

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main() {
  const auto schemas = harnel::RecordSchemas();
  std::vector<std::vector<double>> times(schemas.size());
  std::vector<double> rounds;
  for (int round = 0; round < kRounds; ++round) {
    LARGE_INTEGER roundStart;
    QueryPerformanceCounter(&roundStart);
    for (std::size_t i = 0; i < schemas.size(); ++i) {
      LARGE_INTEGER start, end;
      QueryPerformanceCounter(&start);
      if (void* record = schemas[i].get()) schemas[i].release(record);
      QueryPerformanceCounter(&end);
      times[i].push_back(Milliseconds(start, end));
    }
    LARGE_INTEGER roundEnd;
    QueryPerformanceCounter(&roundEnd);
    rounds.push_back(Milliseconds(roundStart, roundEnd));
  }
  auto median = [](std::vector<double> values) {
    std::sort(values.begin() + 1, values.end());  // the first round is reported apart
    return values[1 + (values.size() - 1) / 2];
  };
  std::printf("%-22s %10s %10s\n", "pair", "first ms", "median ms");
  for (std::size_t i = 0; i < schemas.size(); ++i) {
    std::printf("%-22.*s %10.3f %10.3f\n", static_cast<int>(schemas[i].key.size()),
                schemas[i].key.data(), times[i][0], median(times[i]));
  }
  std::printf("%-22s %10.3f %10.3f\n", "all fifteen", rounds[0], median(rounds));
  for (const wchar_t* library : kComLibraries) {
    std::printf("%ls: %s\n", library, GetModuleHandleW(library) ? "LOADED" : "not loaded");
  }
}
